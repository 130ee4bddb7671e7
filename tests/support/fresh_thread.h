// Runs a body on a thread of its own and waits for it, so that the body's
// COM state starts clean. A plain Win32 thread: this toolchain's C++
// runtime has no std::thread.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <functional>

namespace fresh_thread {
inline DWORD WINAPI Run(void* body) {
    (*static_cast<const std::function<void()>*>(body))();
    return 0;
}
}  // namespace fresh_thread

inline void OnFreshThread(const std::function<void()>& body) {
    HANDLE thread = CreateThread(nullptr, 0, fresh_thread::Run,
                                 const_cast<std::function<void()>*>(&body), 0, nullptr);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
}

// The calling thread's COM: S_OK when it has no apartment left,
// RPC_E_CHANGED_MODE while it is still in a single-threaded one, S_FALSE
// while in the multithreaded one.
inline HRESULT ThreadComState() {
    const HRESULT state = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    if (SUCCEEDED(state)) CoUninitialize();
    return state;
}
