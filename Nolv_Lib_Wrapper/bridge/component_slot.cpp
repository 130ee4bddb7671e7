#include "bridge/component_slot.h"

#include <cstdint>

#include "bridge/component_creation.h"
#include "frame/failure_record.h"
#include "frame/thread_value.h"

ComponentSlot NolvSlot;
ComponentSlot SivatSlot;

namespace {

// Each thread's CoInitialize calls that succeeded (S_OK or S_FALSE) and
// are not yet matched by a CoUninitialize: a host that breaks the
// one-thread rule, loading on one thread and freeing on another, must not
// lose the freeing thread's own apartment to the other thread's count.
const ThreadValue comInitializations;

std::uintptr_t ThreadInitializations() {
    return reinterpret_cast<std::uintptr_t>(comInitializations.get());
}
void SetThreadInitializations(std::uintptr_t count) {
    comInitializations.set(reinterpret_cast<void*>(count));
}

template <class Interface>
void ReleaseReference(Interface*& reference) {
    if (reference == nullptr) return;
    Interface* released = reference;
    reference = nullptr;
    released->Release();
}

void EmptySlot(ComponentSlot& slot) {
    ReleaseReference(slot.object);
    ReleaseReference(slot.dispatch);
}

// A failed step of a creation. When COM could not be initialised, that is
// what the failure comes from, whichever step then failed.
bool CreationFailed(FailureStep step, HRESULT status, HRESULT initialization) {
    if (FAILED(initialization) && initialization != RPC_E_CHANGED_MODE)
        RecordFailure(FailureStep::ComInitialization, initialization);
    else
        RecordFailure(step, status);
    return false;
}

}  // namespace

bool CreateComponent(ComponentSlot& slot, const wchar_t* progId) {
    try {
        const HRESULT initialization = CoInitialize(nullptr);
        if (SUCCEEDED(initialization)) SetThreadInitializations(ThreadInitializations() + 1);

        CLSID classId;
        HRESULT status = CLSIDFromProgID(progId, &classId);
        if (FAILED(status)) return CreationFailed(FailureStep::ProgIdLookup, status, initialization);

        EmptySlot(slot);
        status = CreateComponentObject(classId, &slot.object);
        if (FAILED(status)) return CreationFailed(FailureStep::Creation, status, initialization);
        status = slot.object->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&slot.dispatch));
        if (FAILED(status)) return CreationFailed(FailureStep::NoAutomation, status, S_OK);
        return true;
    } catch (...) {
        RecordCaughtException();
        return false;
    }
}

void ReleaseComponents() {
    EmptySlot(NolvSlot);
    EmptySlot(SivatSlot);
    for (std::uintptr_t count = ThreadInitializations(); count > 0; --count) CoUninitialize();
    SetThreadInitializations(0);
}
