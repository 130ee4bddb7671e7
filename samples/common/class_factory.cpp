// DllGetClassObject and DllCanUnloadNow: the one class factory of the
// module's one class.
#include "common/component_class.h"
#include "common/module_lock.h"

#include <new>

namespace {

// Static, so it is never freed; its references still hold the module,
// since a caller holding the factory will call into this DLL again.
class ClassFactory final : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (object == nullptr) return E_POINTER;
        if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_IClassFactory)) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        *object = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override {
        LockModule();
        return 2;
    }
    ULONG STDMETHODCALLTYPE Release() override {
        UnlockModule();
        return 1;
    }

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid,
                                             void** object) override {
        if (object == nullptr) return E_POINTER;
        *object = nullptr;
        if (outer != nullptr) return CLASS_E_NOAGGREGATION;
        DispatchObject* created = nullptr;
        try {
            created = new DispatchObject(kComponentClass.makeMethods());
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        }
        const HRESULT hr = created->QueryInterface(riid, object);
        created->Release();  // the caller's reference, if any, keeps it
        return hr;
    }

    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        if (lock) {
            LockModule();
        } else {
            UnlockModule();
        }
        return S_OK;
    }
};

ClassFactory factory;

}  // namespace

STDAPI DllGetClassObject(REFCLSID classId, REFIID riid, void** object) {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (!IsEqualCLSID(classId, kComponentClass.classId)) return CLASS_E_CLASSNOTAVAILABLE;
    return factory.QueryInterface(riid, object);
}

STDAPI DllCanUnloadNow(void) { return ModuleInUse() ? S_FALSE : S_OK; }
