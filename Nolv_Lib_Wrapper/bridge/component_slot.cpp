#include "bridge/component_slot.h"

#include <new>
#include <utility>

#include "bridge/component_creation.h"
#include "frame/export_scope.h"
#include "frame/failure_record.h"
#include "frame/fixed_text.h"
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
// reference, then, when it ran isolated, its process; what an export
// running on this thread is calling is handed to it instead. It is out of
// the slot first, so that a component's code run by a release finds the
// slot as it is now.
void Release(ComponentSlot taken) {
    ReleaseUnlessCalled(taken.object.detach());
    ReleaseUnlessCalled(taken.dispatch.detach());
    ReleaseUnlessCalled(taken.isolated.detach());
}

// Starting the component's own process takes a second or two, more on a
// loaded machine; a call's time limit bounds the start too, but never below
// this.
constexpr DWORD kShortestStartLimit = 10000;

// A start of an isolated component that failed, in the words of its step.
void RecordIsolationFailure(const IsolationFailure& failure) {
    FailureStep step = FailureStep::SurrogateHandOver;
    switch (failure.step) {
    case IsolationStep::kFindSurrogate:
    case IsolationStep::kStartSurrogate: step = FailureStep::SurrogateStart; break;
    case IsolationStep::kCreateObject: step = FailureStep::Creation; break;
    case IsolationStep::kQueryDispatch: step = FailureStep::NoAutomation; break;
    default: break;
    }
    if (!RecordFailure(step, failure.status)) return;
    wchar_t words[64];
    FixedText detail(words, ARRAYSIZE(words));
    if (failure.exitCode != STILL_ACTIVE)
        detail.Append(L"its process ended with ").AppendHex(failure.exitCode);
    else
        detail.Append(L"in its own process");
    AddFailureDetail(detail.text());
}

// The slot as a component running isolated fills it; the failed step is
// recorded otherwise.
HRESULT StartIsolated(const CLSID& classId, DWORD callLimit, ComponentSlot& started) {
    auto* made = new (std::nothrow) IsolatedComponent(classId, callLimit);
    if (made == nullptr) {
        RecordFailure(FailureStep::Memory, E_OUTOFMEMORY);
        return E_OUTOFMEMORY;
    }
    started.isolated = ComPtr<IsolatedComponent>(made);
    const IsolationFailure failure = made->Start();
    if (FAILED(failure.status)) {
        RecordIsolationFailure(failure);
        return failure.status;
    }
    started.dispatch = ComPtr<IDispatch>(made->process().dispatch());
    started.dispatch->AddRef();
    const HRESULT status = started.dispatch->QueryInterface(IID_IUnknown, started.object.put_void());
    if (FAILED(status)) RecordFailure(FailureStep::NoAutomation, status);
    return status;
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

HRESULT IsolatedComponent::QueryInterface(REFIID riid, void** object) {
    if (object == nullptr) return E_POINTER;
    *object = IsEqualIID(riid, IID_IUnknown) ? static_cast<IUnknown*>(this) : nullptr;
    if (*object == nullptr) return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

ULONG IsolatedComponent::Release() {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
}

IsolationFailure IsolatedComponent::Start() {
    const DWORD startLimit =
        callLimit_ == 0 ? 0 : callLimit_ > kShortestStartLimit ? callLimit_ : kShortestStartLimit;
    return process_.Start(classId_, startLimit, callLimit_);
}

bool CreateComponent(ComponentSlot& slot, const wchar_t* progId, const IsolationChoice& choice) {
    try {
        const HRESULT initialization = CoInitialize(nullptr);
        if (SUCCEEDED(initialization)) ++CurrentThreadState()->comInitializations;

        CLSID classId;
        HRESULT status = CLSIDFromProgID(progId, &classId);
        if (FAILED(status)) return CreationFailed(slot, FailureStep::ProgIdLookup, status, initialization);

        if (choice.isolated) {
            ComponentSlot started;
            status = StartIsolated(classId, choice.callLimit, started);
            if (FAILED(status)) return CreationFailed(slot, FailureStep::SurrogateHandOver, status, initialization);
            Release(std::exchange(slot, std::move(started)));
            return true;
        }
        ComPtr<IUnknown> object;
        status = CreateComponentObject(classId, object.put());
        if (FAILED(status)) return CreationFailed(slot, FailureStep::Creation, status, initialization);
        ComPtr<IDispatch> dispatch;
        status = object->QueryInterface(IID_IDispatch, dispatch.put_void());

        // The new component replaces whatever the slot holds now.
        Release(std::exchange(slot, ComponentSlot{std::move(object), std::move(dispatch), {}}));
        if (FAILED(status)) return CreationFailed(slot, FailureStep::NoAutomation, status, S_OK);
        return true;
    } catch (...) {
        RecordCaughtException();
        return false;
    }
}

bool RestartComponent(ComponentSlot& slot) {
    const ComPtr<IsolatedComponent> ended = slot.isolated;
    ComponentSlot started;
    if (SUCCEEDED(StartIsolated(ended->classId(), ended->callLimit(), started))) {
        Release(std::exchange(slot, std::move(started)));
        return true;
    }
    AddFailureDetail(L"it was to be started again after its process ended; load it again");
    Release(std::exchange(slot, {}));
    return false;
}

void ReleaseComponents() {
    ComponentSlot nolv = std::exchange(NolvSlot, {});
    ComponentSlot sivat = std::exchange(SivatSlot, {});
    Release(std::move(nolv));
    Release(std::move(sivat));
    if (ThreadState* thread = CurrentThreadState())
        thread->pendingUninitializations += std::exchange(thread->comInitializations, 0u);
}
