// nolvsurrogate.exe: runs one component in a process of its own for the
// library, which starts it (see bridge/surrogate_hand_over.h). It registers
// nothing, so no other client can reach it, and ends when the library
// releases the component, when the library's process ends however it ends,
// and when the component crashes.
#include <windows.h>
#include <objbase.h>

#include <cstdlib>
#include <cwchar>

#include "bridge/surrogate_hand_over.h"
#include "component_server.h"

namespace {

// A handle the library let this process inherit, as its decimal number.
HANDLE InheritedHandle(const wchar_t* text) {
    wchar_t* end = nullptr;
    const unsigned long long value = std::wcstoull(text, &end, 10);
    return end != text && *end == L'\0' ? reinterpret_cast<HANDLE>(value) : nullptr;
}

// A crash that nothing in the component handles ends the process at once
// with the exception's code, which the library reads as the reason; no
// debugger or error report is started first, so the library's waiting
// call returns without delay.
LONG WINAPI EndWithExceptionCode(EXCEPTION_POINTERS* exception) {
    TerminateProcess(GetCurrentProcess(), exception->ExceptionRecord->ExceptionCode);
    return EXCEPTION_CONTINUE_SEARCH;
}

// The library's process is gone: nobody can reach the component any more.
DWORD WINAPI EndWithHost(void* host) {
    WaitForSingleObject(static_cast<HANDLE>(host), INFINITE);
    TerminateProcess(GetCurrentProcess(), kSurrogateHostEnded);
    return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    CLSID classId;
    if (__argc != 5 || CLSIDFromString(__wargv[1], &classId) != S_OK) return E_INVALIDARG;
    const HANDLE pipe = InheritedHandle(__wargv[2]);
    const HANDLE host = InheritedHandle(__wargv[3]);
    const HANDLE released = InheritedHandle(__wargv[4]);
    if (pipe == nullptr || host == nullptr || released == nullptr) return E_INVALIDARG;

    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    SetUnhandledExceptionFilter(EndWithExceptionCode);
    // Its own thread, so that the host's end is seen while a call hangs.
    const HANDLE watch = CreateThread(nullptr, 0, EndWithHost, host, 0, nullptr);
    if (watch == nullptr) return HRESULT_FROM_WIN32(GetLastError());
    CloseHandle(watch);
    const DWORD exitCode = ServeComponent(classId, pipe, released);
    CloseHandle(pipe);
    return static_cast<int>(exitCode);
}
