#include "support/host_clipboard.h"

#include <cstring>
#include <stdexcept>

namespace {
class HostClipboard {
public:
    HostClipboard() {
        for (int attempt = 0; !OpenClipboard(nullptr); ++attempt) {
            if (attempt == 100) throw std::runtime_error("test cannot open the clipboard");
            Sleep(10);
        }
    }
    ~HostClipboard() { CloseClipboard(); }
};
}  // namespace

void SetHostClipboardText(const std::string& bytes) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size() + 1);
    std::memcpy(GlobalLock(block), bytes.c_str(), bytes.size() + 1);
    GlobalUnlock(block);
    HostClipboard clipboard;
    EmptyClipboard();
    if (SetClipboardData(CF_TEXT, block) == nullptr) GlobalFree(block);
}

void EmptyHostClipboard() {
    HostClipboard clipboard;
    EmptyClipboard();
}

void SetHostClipboardBitmap() {
    HBITMAP bitmap = CreateBitmap(2, 2, 1, 32, nullptr);
    HostClipboard clipboard;
    EmptyClipboard();
    if (SetClipboardData(CF_BITMAP, bitmap) == nullptr) DeleteObject(bitmap);
}

std::optional<std::string> HostClipboardText() {
    HostClipboard clipboard;
    HANDLE data = GetClipboardData(CF_TEXT);
    if (data == nullptr) return std::nullopt;
    const char* text = static_cast<const char*>(GlobalLock(data));
    std::string copy(text, strnlen(text, GlobalSize(data)));
    GlobalUnlock(data);
    return copy;
}

std::vector<UINT> HostClipboardFormats() {
    HostClipboard clipboard;
    std::vector<UINT> formats;
    for (UINT format = EnumClipboardFormats(0); format != 0; format = EnumClipboardFormats(format))
        formats.push_back(format);
    return formats;
}
