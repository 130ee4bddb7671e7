#include "bridge/component_slot.h"

#include "bridge/component_creation.h"

ComponentSlot NolvSlot;
ComponentSlot SivatSlot;

namespace {

// CoInitialize calls that succeeded (S_OK or S_FALSE) and are not yet
// matched by a CoUninitialize.
unsigned comInitializations = 0;

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

}  // namespace

bool CreateComponent(ComponentSlot& slot, const wchar_t* progId) {
    try {
        if (SUCCEEDED(CoInitialize(nullptr))) ++comInitializations;

        CLSID classId;
        if (FAILED(CLSIDFromProgID(progId, &classId))) return false;

        EmptySlot(slot);
        if (FAILED(CreateComponentObject(classId, &slot.object))) return false;
        if (FAILED(slot.object->QueryInterface(IID_IDispatch,
                                               reinterpret_cast<void**>(&slot.dispatch))))
            return false;
        return true;
    } catch (...) {
        return false;
    }
}

void ReleaseComponents() {
    EmptySlot(NolvSlot);
    EmptySlot(SivatSlot);
    for (; comInitializations > 0; --comInitializations) CoUninitialize();
}
