// The probe's COM server entry points: class factories, DllGetClassObject,
// DllCanUnloadNow, and ProbeReset, which clears all scripted and logged state.
#include "probe_classes.h"
#include "probe_control.h"
#include "probe_object.h"
#include "probe_record.h"
#include "probe_script.h"

namespace probe {
namespace {

// {40F768A1-7656-4EDF-A580-0A18265FFE11} and {62F2F98E-9AA6-4B84-8F35-35D611CBE8D0}
const CLSID classIds[componentCount] = {
    {0x40f768a1, 0x7656, 0x4edf, {0xa5, 0x80, 0x0a, 0x18, 0x26, 0x5f, 0xfe, 0x11}},
    {0x62f2f98e, 0x9aa6, 0x4b84, {0x8f, 0x35, 0x35, 0xd6, 0x11, 0xcb, 0xe8, 0xd0}},
};

// Static and uncounted: only the objects it makes show in the live counts.
class ClassFactory final : public IClassFactory {
public:
    explicit constexpr ClassFactory(int component) : component_(component) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (object == nullptr) return E_POINTER;
        if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_IClassFactory)) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        *object = static_cast<IClassFactory*>(this);
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid,
                                             void** object) override {
        if (object == nullptr) return E_POINTER;
        if (outer) {
            *object = nullptr;
            return CLASS_E_NOAGGREGATION;
        }
        creationHook(component_).run(PROBE_HOOK_IN_CALL);
        return createObject(component_, riid, object);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

private:
    const int component_;
};

ClassFactory factories[componentCount] = {ClassFactory(PROBE_NOLV),
                                          ClassFactory(PROBE_SIVAT)};

}  // namespace

const CLSID& classId(int component) {
    return classIds[component];
}

}  // namespace probe

using namespace probe;

extern "C" {

HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID riid, void** object) {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    for (int component = 0; component < componentCount; ++component)
        if (IsEqualCLSID(clsid, classIds[component]))
            return factories[component].QueryInterface(riid, object);
    return CLASS_E_CLASSNOTAVAILABLE;
}

// Never unloaded: the test process's own import of this module and the copy
// COM loads are one module, and its state must outlive CoFreeUnusedLibraries.
HRESULT WINAPI DllCanUnloadNow(void) {
    return S_FALSE;
}

void ProbeReset(void) {
    forgetScripts();
    forgetRecords();
}

}  // extern "C"
