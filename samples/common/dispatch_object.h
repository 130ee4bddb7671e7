// The automation object both samples are made of: IDispatch over a table of
// methods found by name. No type library: callers bind late, by name.
#pragma once

#include "common/com_headers.h"
#include "common/method_call.h"

#include <functional>
#include <vector>

struct Method {
    const wchar_t* name;  // matched without regard to case
    UINT parameterCount;  // calls with any other count are refused
    std::function<HRESULT(MethodCall&)> run;
};

using MethodTable = std::vector<Method>;

class DispatchObject final : public IDispatch {
public:
    // Starts with one reference, the creator's.
    explicit DispatchObject(MethodTable methods);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT nameCount,
                                            LCID locale, DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID locale, WORD flags,
                                     DISPPARAMS* parameters, VARIANT* result,
                                     EXCEPINFO* exception, UINT* badArgument) override;

private:
    ~DispatchObject();
    HRESULT Run(const Method& method, DISPPARAMS& parameters, VARIANT* result,
                EXCEPINFO* exception, UINT* badArgument);

    LONG references_ = 1;
    const MethodTable methods_;
};
