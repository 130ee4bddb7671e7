#include "session_clipboard.h"

#include <windows.h>

#include <cstring>
#include <memory>

#include "exit_status.h"

namespace {

[[noreturn]] void ClipboardFailed(const char* what) {
    throw SessionError(ExitStatus::HostFailed,
                       std::string(what) + " (error " + std::to_string(GetLastError()) + ")");
}

// Another program may hold the clipboard for a moment; one that still holds
// it after a second is not letting go.
class HeldClipboard {
public:
    HeldClipboard() {
        for (int attempt = 0; !OpenClipboard(nullptr); ++attempt) {
            if (attempt == 100) ClipboardFailed("cannot open the clipboard");
            Sleep(10);
        }
    }
    ~HeldClipboard() { CloseClipboard(); }
    HeldClipboard(const HeldClipboard&) = delete;
    HeldClipboard& operator=(const HeldClipboard&) = delete;
};

struct GlobalFreer {
    void operator()(void* block) const { GlobalFree(block); }
};
using OwnedGlobal = std::unique_ptr<void, GlobalFreer>;

OwnedGlobal TextBlock(const std::string& bytes) {
    OwnedGlobal block(GlobalAlloc(GMEM_MOVEABLE, bytes.size() + 1));
    if (block == nullptr) ClipboardFailed("cannot allocate the clipboard text");
    void* data = GlobalLock(block.get());
    if (data == nullptr) ClipboardFailed("cannot lock the clipboard text");
    std::memcpy(data, bytes.c_str(), bytes.size() + 1);
    GlobalUnlock(block.get());
    return block;
}

}  // namespace

void PutClipboardText(const Text& text) {
    OwnedGlobal block = text ? TextBlock(*text) : OwnedGlobal();
    const HeldClipboard clipboard;
    if (!EmptyClipboard()) ClipboardFailed("cannot empty the clipboard");
    if (block == nullptr) return;
    if (SetClipboardData(CF_TEXT, block.get()) == nullptr)
        ClipboardFailed("cannot put the text on the clipboard");
    block.release();  // the clipboard owns it now
}

std::optional<std::string> ClipboardText() {
    const HeldClipboard clipboard;
    const HANDLE data = GetClipboardData(CF_TEXT);
    if (data == nullptr) return std::nullopt;
    const char* text = static_cast<const char*>(GlobalLock(data));
    if (text == nullptr) return std::nullopt;
    std::string copy(text, strnlen(text, GlobalSize(data)));
    GlobalUnlock(data);
    return copy;
}
