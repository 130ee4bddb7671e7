#include "clipboard/clipboard_text.h"

#include <windows.h>

#include <cstring>

#include "clipboard/clipboard_owners.h"
#include "frame/failure_record.h"
#include "frame/library_string.h"

namespace {
// Records a clipboard step that failed with the thread's last error, or
// with status when the system set none. GetClipboardData, GlobalLock and
// GlobalSize may fail without setting one: the last error is cleared
// before them, so that an earlier call's (an open refused before one that
// succeeded, say) is not taken for theirs.
void RecordSystemFailure(FailureStep step, HRESULT status) {
    const DWORD error = GetLastError();
    RecordFailure(step, error != ERROR_SUCCESS ? HRESULT_FROM_WIN32(error) : status);
}
}  // namespace

bool PutClipboardText(const char* text) noexcept {
    try {
        const CString copy(text);

        OpenedClipboard clipboard;
        if (!clipboard) return false;

        // The block is made before the clipboard is emptied, so a failed
        // allocation leaves the previous content in place.
        GlobalBlock block(GlobalAlloc(GMEM_FIXED, copy.GetLength() + 1));
        if (block.get() == nullptr) {
            RecordFailure(FailureStep::ClipboardWrite, E_OUTOFMEMORY);
            return false;
        }
        lstrcpyA(static_cast<char*>(block.get()), copy);

        EmptyClipboard();
        if (SetClipboardData(CF_TEXT, block.get()) == nullptr) {
            RecordSystemFailure(FailureStep::ClipboardWrite, CLIPBRD_E_CANT_SET);
            return false;
        }
        block.release();
        return true;
    } catch (...) {
        RecordCaughtException();
        return false;
    }
}

HeapText GetClipboardText() noexcept {
    if (!IsClipboardFormatAvailable(CF_TEXT)) return nullptr;

    OpenedClipboard clipboard;
    if (!clipboard) return nullptr;

    SetLastError(ERROR_SUCCESS);
    HANDLE data = GetClipboardData(CF_TEXT);
    if (data == nullptr) {
        RecordSystemFailure(FailureStep::ClipboardRead, CLIPBRD_E_BAD_DATA);
        return nullptr;
    }
    SetLastError(ERROR_SUCCESS);
    const LockedGlobal locked(data);
    if (locked.text() == nullptr) {
        RecordSystemFailure(FailureStep::ClipboardRead, CLIPBRD_E_BAD_DATA);
        return nullptr;
    }

    // Another program's block need not hold a NUL: read no further than
    // the block's size and terminate the copy ourselves.
    SetLastError(ERROR_SUCCESS);
    const SIZE_T size = GlobalSize(data);
    if (size == 0) {  // not a block we can measure
        RecordSystemFailure(FailureStep::ClipboardRead, CLIPBRD_E_BAD_DATA);
        return nullptr;
    }
    const void* end = std::memchr(locked.text(), '\0', size);
    const std::size_t length =
        end != nullptr ? static_cast<const char*>(end) - locked.text() : size;

    HeapText copy(static_cast<char*>(std::malloc(length + 1)));
    if (!copy) {
        RecordFailure(FailureStep::Memory, E_OUTOFMEMORY);
        return nullptr;
    }
    std::memcpy(copy.get(), locked.text(), length);
    copy.get()[length] = '\0';
    return copy;
}
