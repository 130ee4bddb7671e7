// Owners for what running a component in a process of its own takes: kernel
// handles and the threadpool timer that keeps a call's time limit (its
// proxy is a ComPtr, automation_owners.h). Each lets go of what it holds
// on every way out.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <utility>

// One resource of a kind (null: none), given back by Close.
template <class Resource, void (*Close)(Resource)>
class UniqueResource {
public:
    UniqueResource() = default;
    explicit UniqueResource(Resource resource) : resource_(resource) {}
    ~UniqueResource() { reset(); }
    UniqueResource(UniqueResource&& other) noexcept
        : resource_(std::exchange(other.resource_, nullptr)) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept {
        if (this != &other) {
            reset();
            resource_ = std::exchange(other.resource_, nullptr);
        }
        return *this;
    }

    Resource get() const { return resource_; }
    explicit operator bool() const { return resource_ != nullptr; }
    // The variable itself, for a call that makes the resource.
    Resource* variable() {
        reset();
        return &resource_;
    }
    void reset() {
        if (resource_ != nullptr) Close(resource_);
        resource_ = nullptr;
    }

private:
    Resource resource_ = nullptr;
};

inline void CloseKernelHandle(HANDLE handle) { CloseHandle(handle); }

// Afterwards no expiry is pending and no callback is running.
inline void DisarmPoolTimer(PTP_TIMER timer) {
    SetThreadpoolTimer(timer, nullptr, 0, 0);
    WaitForThreadpoolTimerCallbacks(timer, TRUE);
}

// Disarmed first, so that nothing the callback uses goes before it.
inline void ClosePoolTimer(PTP_TIMER timer) {
    DisarmPoolTimer(timer);
    CloseThreadpoolTimer(timer);
}

using KernelHandle = UniqueResource<HANDLE, CloseKernelHandle>;
using PoolTimer = UniqueResource<PTP_TIMER, ClosePoolTimer>;
