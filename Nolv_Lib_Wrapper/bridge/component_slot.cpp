#include "bridge/component_slot.h"

#include "bridge/component_creation.h"
#include "frame/failure_record.h"

ComponentSlot NolvSlot;
ComponentSlot SivatSlot;

namespace {

// Each thread's CoInitialize calls that succeeded (S_OK or S_FALSE) and
// are not yet matched by a CoUninitialize, by thread id: a host that breaks
// the one-thread rule, loading on one thread and freeing on another, must
// not lose the freeing thread's own apartment to the other thread's count.
// Kept apart from the TLS slots, whose first 64 the call guard needs more.
class ThreadInitializations {
public:
    void Add(DWORD thread) {
        Entry* entry = Find(thread);
        if (entry == nullptr) entry = Find(kNone);
        // With more threads holding loads than any host has, the
        // initialisation stays until its thread ends, which is harmless.
        if (entry == nullptr) return;
        entry->thread = thread;
        ++entry->count;
    }
    unsigned Take(DWORD thread) {
        Entry* entry = Find(thread);
        if (entry == nullptr) return 0;
        const unsigned count = entry->count;
        *entry = Entry{};
        return count;
    }

private:
    static constexpr DWORD kNone = 0;  // no thread has the id 0
    struct Entry {
        DWORD thread;
        unsigned count;
    };
    Entry* Find(DWORD thread) {
        for (Entry& entry : entries_)
            if (entry.thread == thread) return &entry;
        return nullptr;
    }
    Entry entries_[16] = {};
};

ThreadInitializations comInitializations;

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
        if (SUCCEEDED(initialization)) comInitializations.Add(GetCurrentThreadId());

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
    for (unsigned count = comInitializations.Take(GetCurrentThreadId()); count > 0; --count)
        CoUninitialize();
}
