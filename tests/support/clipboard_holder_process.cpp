#include "support/clipboard_holder_process.h"

#include <stdexcept>
#include <string>

#include "support/wrapper_library.h"

ClipboardHolderProcess::ClipboardHolderProcess(DWORD holdMilliseconds) {
    const std::wstring eventName = L"clipboard-holder-ready-" + std::to_wstring(GetCurrentProcessId());
    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, eventName.c_str());
    std::wstring commandLine = L"\"" + BesideProgram(L"clipboard_holder.exe") + L"\" " +
                               std::to_wstring(holdMilliseconds) + L" " + eventName;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process_)) {
        CloseHandle(ready);
        throw std::runtime_error("cannot start clipboard_holder");
    }
    HANDLE waitFor[] = {ready, process_.hProcess};
    const DWORD signalled = WaitForMultipleObjects(2, waitFor, FALSE, 20000);
    CloseHandle(ready);
    if (signalled != WAIT_OBJECT_0) throw std::runtime_error("clipboard_holder did not take the clipboard");
}

ClipboardHolderProcess::~ClipboardHolderProcess() {
    WaitForSingleObject(process_.hProcess, 30000);
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
}
