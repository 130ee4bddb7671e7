#include "doctor/clipboard_check.h"
#include "wide_text.h"

#include <windows.h>

#include <cstdio>


namespace {

// As long as the library itself keeps trying: a program that lets go
// within that time does the library no harm.
bool ClipboardOpens() {
    for (int attempt = 0; attempt < 50; ++attempt) {
        if (OpenClipboard(nullptr)) {
            CloseClipboard();
            return true;
        }
        Sleep(10);
    }
    return false;
}

std::string ImageName(DWORD processId) {
    const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (process == nullptr) return "image name unknown: error " + std::to_string(GetLastError());
    wchar_t name[MAX_PATH];
    DWORD length = MAX_PATH;
    const bool named = QueryFullProcessImageNameW(process, 0, name, &length);
    const DWORD error = GetLastError();
    CloseHandle(process);
    if (!named) return "image name unknown: error " + std::to_string(error);
    return Utf8(std::wstring(name, length));
}

std::string Holder() {
    const HWND window = GetOpenClipboardWindow();
    if (window == nullptr)
        return "held open by a program that gave no window: which one cannot be told";
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    char handle[24];
    std::snprintf(handle, sizeof handle, "%#llx",
                  static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(window)));
    return "held open by window " + std::string(handle) + " of process " +
           std::to_string(processId) + " (" + ImageName(processId) + ")";
}

}  // namespace

Check ClipboardCheck() {
    if (ClipboardOpens()) return Passed("clipboard", "can be opened");
    return Failed(
        "clipboard", Holder(),
        "another program keeps the clipboard open: the library's number string and parts list "
        "give up after about half a second and return 0",
        "close that program or let it finish (clipboard managers and remote-desktop clipboard "
        "sharing often do this), then try again");
}
