#include "bridge/component_slot.h"

#include <utility>

#include "bridge/component_creation.h"
#include "frame/failure_record.h"
#include "frame/thread_state.h"

namespace {

// Storage whose slot is constructed with the library and never destroyed.
union SlotStorage {
    constexpr SlotStorage() : slot() {}
    ~SlotStorage() {}
    ComponentSlot slot;
};
SlotStorage nolvStorage;
SlotStorage sivatStorage;

// Releases what was taken out of a slot: the object, then the dispatch
// reference. It is out of the slot first, so that a component's code run
// by a release finds the slot as it is now.
void Release(ComponentSlot taken) {
    taken.object = {};
    taken.dispatch = {};
}

// A failed step of a creation. When COM could not be initialised, that is
// what the failure comes from, whichever step then failed. A component
// loaded before stays loaded, and the reason says so.
bool CreationFailed(const ComponentSlot& slot, FailureStep step, HRESULT status,
                    HRESULT initialization) {
    if (FAILED(initialization) && initialization != RPC_E_CHANGED_MODE)
        RecordFailure(FailureStep::ComInitialization, initialization);
    else
        RecordFailure(step, status);
    if (slot.dispatch) AddFailureDetail(L"the component loaded before stays loaded");
    return false;
}

}  // namespace

ComponentSlot& NolvSlot = nolvStorage.slot;
ComponentSlot& SivatSlot = sivatStorage.slot;

bool CreateComponent(ComponentSlot& slot, const wchar_t* progId) {
    try {
        const HRESULT initialization = CoInitialize(nullptr);
        if (SUCCEEDED(initialization)) ++CurrentThreadState()->comInitializations;

        CLSID classId;
        HRESULT status = CLSIDFromProgID(progId, &classId);
        if (FAILED(status)) return CreationFailed(slot, FailureStep::ProgIdLookup, status, initialization);

        ComPtr<IUnknown> object;
        status = CreateComponentObject(classId, reinterpret_cast<IUnknown**>(object.put()));
        if (FAILED(status)) return CreationFailed(slot, FailureStep::Creation, status, initialization);
        ComPtr<IDispatch> dispatch;
        status = object->QueryInterface(IID_IDispatch, dispatch.put());

        // The new component replaces whatever the slot holds now.
        Release(std::exchange(slot, ComponentSlot{std::move(object), std::move(dispatch)}));
        if (FAILED(status)) return CreationFailed(slot, FailureStep::NoAutomation, status, S_OK);
        return true;
    } catch (...) {
        RecordCaughtException();
        return false;
    }
}

void ReleaseComponents() {
    ComponentSlot nolv = std::exchange(NolvSlot, {});
    ComponentSlot sivat = std::exchange(SivatSlot, {});
    Release(std::move(nolv));
    Release(std::move(sivat));
    if (ThreadState* thread = CurrentThreadState())
        thread->pendingUninitializations += std::exchange(thread->comInitializations, 0u);
}
