#include "last_reference.h"

#include "fault_shield.h"

HRESULT STDMETHODCALLTYPE LastReference::QueryInterface(REFIID riid, void** object) {
    if (object == nullptr) return E_POINTER;
    // Only what the library asks for: other interfaces of the component
    // would be references this object does not count.
    if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_IDispatch)) {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    *object = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
}

ULONG STDMETHODCALLTYPE LastReference::AddRef() {
    return static_cast<ULONG>(InterlockedIncrement(&references_));
}

LastReference::~LastReference() {
    // The component's object is destroyed here, inside COM's dispatch of
    // the library's release.
    Shielded([this] {
        component_->Release();
        return S_OK;
    });
}

ULONG STDMETHODCALLTYPE LastReference::Release() {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) {
        delete this;
        PostQuitMessage(0);
    }
    return static_cast<ULONG>(left);
}

HRESULT STDMETHODCALLTYPE LastReference::GetTypeInfoCount(UINT* count) {
    return Shielded([&] { return component_->GetTypeInfoCount(count); });
}

HRESULT STDMETHODCALLTYPE LastReference::GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) {
    return Shielded([&] { return component_->GetTypeInfo(index, locale, info); });
}

HRESULT STDMETHODCALLTYPE LastReference::GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count,
                                                       LCID locale, DISPID* ids) {
    return Shielded([&] { return component_->GetIDsOfNames(riid, names, count, locale, ids); });
}

HRESULT STDMETHODCALLTYPE LastReference::Invoke(DISPID member, REFIID riid, LCID locale,
                                                WORD flags, DISPPARAMS* parameters,
                                                VARIANT* result, EXCEPINFO* exception,
                                                UINT* badArgument) {
    return Shielded([&] {
        return component_->Invoke(member, riid, locale, flags, parameters, result, exception,
                                  badArgument);
    });
}
