// Starts the clipboard holder program and returns once it holds the
// clipboard; the destructor waits for it to let go and end.
#pragma once

#include <windows.h>

class ClipboardHolderProcess {
public:
    explicit ClipboardHolderProcess(DWORD holdMilliseconds);
    ~ClipboardHolderProcess();
    ClipboardHolderProcess(const ClipboardHolderProcess&) = delete;
    ClipboardHolderProcess& operator=(const ClipboardHolderProcess&) = delete;

    DWORD processId() const { return process_.dwProcessId; }

private:
    PROCESS_INFORMATION process_{};
};
