// GoogleTest's Windows threading support waits on a Notification that it
// builds from std::mutex and std::condition_variable, which the win32
// thread model's C++ runtime does not have. GoogleTest takes a Notification
// of the platform's instead when GTEST_HAS_NOTIFICATION_ is set: this one,
// a manual-reset event. Forced into every test source ahead of GoogleTest.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace testing {
namespace internal {

class Notification {
public:
    Notification() : event_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    ~Notification() { CloseHandle(event_); }
    Notification(const Notification&) = delete;
    Notification& operator=(const Notification&) = delete;

    void Notify() { SetEvent(event_); }
    void WaitForNotification() { WaitForSingleObject(event_, INFINITE); }

private:
    HANDLE event_;
};

}  // namespace internal
}  // namespace testing
