#include "clipboard/clipboard_text.h"

#include <windows.h>

#include <cstring>

#include "clipboard/clipboard_owners.h"
#include "frame/library_string.h"

bool PutClipboardText(const char* text) noexcept {
    try {
        const CString copy(text);

        OpenedClipboard clipboard;
        if (!clipboard) return false;

        // The block is made before the clipboard is emptied, so a failed
        // allocation leaves the previous content in place.
        GlobalBlock block(GlobalAlloc(GMEM_FIXED, copy.GetLength() + 1));
        if (block.get() == nullptr) return false;
        lstrcpyA(static_cast<char*>(block.get()), copy);

        EmptyClipboard();
        if (SetClipboardData(CF_TEXT, block.get()) == nullptr) return false;
        block.release();
        return true;
    } catch (...) {
        return false;
    }
}

HeapText GetClipboardText() noexcept {
    if (!IsClipboardFormatAvailable(CF_TEXT)) return nullptr;

    OpenedClipboard clipboard;
    if (!clipboard) return nullptr;

    HANDLE data = GetClipboardData(CF_TEXT);
    if (data == nullptr) return nullptr;
    const LockedGlobal locked(data);
    if (locked.text() == nullptr) return nullptr;

    // Another program's block need not hold a NUL: read no further than
    // the block's size and terminate the copy ourselves.
    const SIZE_T size = GlobalSize(data);
    if (size == 0) return nullptr;  // not a block we can measure
    const void* end = std::memchr(locked.text(), '\0', size);
    const std::size_t length =
        end != nullptr ? static_cast<const char*>(end) - locked.text() : size;

    HeapText copy(static_cast<char*>(std::malloc(length + 1)));
    if (!copy) return nullptr;
    std::memcpy(copy.get(), locked.text(), length);
    copy.get()[length] = '\0';
    return copy;
}
