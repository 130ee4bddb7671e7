// Nolv_Lib_WrapperAboutBox: the library's own About box. It needs no
// component and runs outside the call guard.
#include "Nolv_Lib_Wrapper.h"
#include "frame/export_scope.h"
#include "frame/library_string.h"
#include "frame/memory_exception.h"
#include "frame/message_box.h"
#include "frame/wrapper_app.h"

namespace {
constexpr ExportCall kWrapperAboutBox = {"Nolv_Lib_WrapperAboutBox", nullptr, nullptr, nullptr};
constexpr char kOpening[] = "Nolv_Lib_Wrapper [ ";
constexpr char kClosing[] =
    " ]\n"
    "\n"
    " Copyright (C) 2026 the Nolv_Lib_Wrapper project\n"
    "\n"
    "  <nolv-lib-wrapper@example.org>";
}  // namespace

void __cdecl Nolv_Lib_WrapperAboutBox(void) {
    // The box's message loop may let the host call the library again.
    const ExportScope scope(kWrapperAboutBox);
    // An exception must not unwind into the host; with no memory left for
    // the text there is simply no box.
    try {
        const CString heading = CString(kOpening) + WrapperVersion;
        const CString message = heading + kClosing;
        // 0 is the documented failure; without a display Wine answers -1.
        if (LibraryMessageBox(message, MB_OK, 0) <= 0) {
            const DWORD error = GetLastError();
            RecordFailure(FailureStep::MessageBox, HRESULT_FROM_WIN32(error));
        }
    } catch (const CMemoryException&) {
    }
}
