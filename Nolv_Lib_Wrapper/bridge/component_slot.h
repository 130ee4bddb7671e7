// The two component slots and their filling and emptying.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include "bridge/automation_owners.h"
#include "bridge/isolated_process.h"

// How the host wants a component run from its next load (Nolv_Lib_SetIsolation).
struct IsolationChoice {
    bool isolated = false;
    DWORD callLimit = 0;  // milliseconds per call, 0 for none
};

// A component running in a process of its own, held by its slot and, once
// the slot lets go of it during a call, by that call (see export_scope.h),
// so that the process ends only once no call is running there any more.
class IsolatedComponent final : public IUnknown {
public:
    IsolatedComponent(const CLSID& classId, DWORD callLimit) : classId_(classId), callLimit_(callLimit) {}
    IsolatedComponent(const IsolatedComponent&) = delete;
    IsolatedComponent& operator=(const IsolatedComponent&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override {
        return static_cast<ULONG>(InterlockedIncrement(&references_));
    }
    ULONG STDMETHODCALLTYPE Release() override;

    IsolationFailure Start();
    IsolatedProcess& process() { return process_; }
    DWORD callLimit() const { return callLimit_; }
    const CLSID& classId() const { return classId_; }

    // The process has ended (crashed, ended for its time limit, or gone by
    // itself): the next call on the component starts it again.
    bool Ended() const { return process_.ExitCode() != STILL_ACTIVE; }

private:
    virtual ~IsolatedComponent() = default;

    const CLSID classId_;
    const DWORD callLimit_;
    IsolatedProcess process_;
    LONG references_ = 1;
};

struct ComponentSlot {
    ComPtr<IUnknown> object;     // from creation
    ComPtr<IDispatch> dispatch;  // for late-bound calls; set: the component is loaded
    ComPtr<IsolatedComponent> isolated;  // set: it runs in a process of its own
};

// Never destroyed: unloading the library must not release the components
// (the host calls FreeNolvSys for that, while COM is still up).
extern ComponentSlot& NolvSlot;
extern ComponentSlot& SivatSlot;

// Creates the component registered under progId, in process or, as the
// host chose, in a process of its own, and puts it into the slot once it
// exists, releasing what the slot held then (also a component that a load
// nested in this one put there). True when the slot then holds a dispatch
// reference; a new object without one is kept alone, so that the slot
// counts as not loaded. When the ProgID is not found or the object cannot
// be created, the slot keeps what it held. A failed step is recorded.
// Initialises COM on the calling thread (see ReleaseComponents).
bool CreateComponent(ComponentSlot& slot, const wchar_t* progId, const IsolationChoice& choice);

// An isolated component whose process has ended, started again in the
// slot's place; false, with the slot emptied and the reason recorded, when
// it cannot be.
bool RestartComponent(ComponentSlot& slot);

// Empties both slots and ends the library's use of COM on the calling
// thread: every CoInitialize that a creation on this thread made succeed
// is matched, and none other, so a host's own apartment survives, and so
// does another thread's. A component whose method is running on this
// thread is handed to that call, which releases it as it returns, and the
// matching happens once the thread's outermost export returns.
void ReleaseComponents();
