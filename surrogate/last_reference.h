// The component as the surrogate hands it out: its IDispatch, forwarded
// call for call, so that the surrogate learns when the library has released
// the last reference (COM's stub lets go of the object then) and can end,
// and so that every call into the component is shielded (fault_shield.h).
#pragma once

#include <windows.h>
#include <oaidl.h>

class LastReference final : public IDispatch {
public:
    // Takes over the reference to component; the thread's message loop is
    // ended when the last reference to this object goes.
    explicit LastReference(IDispatch* component) : component_(component) {}
    LastReference(const LastReference&) = delete;
    LastReference& operator=(const LastReference&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count,
                                            LCID locale, DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID riid, LCID locale, WORD flags,
                                     DISPPARAMS* parameters, VARIANT* result,
                                     EXCEPINFO* exception, UINT* badArgument) override;

private:
    ~LastReference();

    IDispatch* const component_;
    LONG references_ = 1;
};
