// Runs a body on a thread of its own and waits for it, so that the body's
// COM state starts clean. A plain Win32 thread: this toolchain's C++
// runtime has no std::thread.
#pragma once

#include <windows.h>

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
