#include "common/method_call.h"

#include "common/component_class.h"
#include "common/variant_owner.h"

UINT MethodCall::ArgumentIndex(UINT parameter) const {
    return parameters_.cArgs - 1 - parameter;
}

HRESULT MethodCall::Converted(UINT parameter, VARTYPE type, VARIANT& value) {
    const UINT index = ArgumentIndex(parameter);
    VARIANTARG& argument = parameters_.rgvarg[index];
    HRESULT hr = DISP_E_TYPEMISMATCH;
    // A by-reference argument with no referent is a caller's bug; it must
    // not be dereferenced.
    if ((V_VT(&argument) & VT_BYREF) == 0 || V_BYREF(&argument) != nullptr) {
        hr = VariantCopyInd(&value, &argument);
        if (SUCCEEDED(hr)) hr = VariantChangeType(&value, &value, 0, type);
    }
    if (FAILED(hr)) {
        badArgument_ = index;
        return DISP_E_TYPEMISMATCH;
    }
    return S_OK;
}

HRESULT MethodCall::Text(UINT parameter, std::wstring& text) {
    VariantOwner value;
    if (HRESULT hr = Converted(parameter, VT_BSTR, value.get()); FAILED(hr)) return hr;
    const BSTR string = V_BSTR(&value.get());
    text.assign(string != nullptr ? string : L"", SysStringLen(string));
    return S_OK;
}

HRESULT MethodCall::Integer(UINT parameter, LONG& value) {
    VariantOwner converted;
    if (HRESULT hr = Converted(parameter, VT_I4, converted.get()); FAILED(hr)) return hr;
    value = V_I4(&converted.get());
    return S_OK;
}

void MethodCall::WriteInteger(UINT parameter, LONG value) {
    VARIANTARG& argument = parameters_.rgvarg[ArgumentIndex(parameter)];
    if (V_VT(&argument) == (VT_I4 | VT_BYREF) && V_I4REF(&argument) != nullptr)
        *V_I4REF(&argument) = value;
}

HRESULT MethodCall::ReturnText(const std::wstring& text) {
    if (result_ == nullptr) return S_OK;
    const BSTR string = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    if (string == nullptr) return E_OUTOFMEMORY;
    V_VT(result_) = VT_BSTR;
    V_BSTR(result_) = string;
    return S_OK;
}

void MethodCall::ReturnInteger(LONG value) {
    if (result_ == nullptr) return;
    V_VT(result_) = VT_I4;
    V_I4(result_) = value;
}

HRESULT MethodCall::Raise(const std::wstring& description) {
    if (exception_ != nullptr) {
        *exception_ = EXCEPINFO{};
        exception_->bstrSource = SysAllocString(kComponentClass.name);
        exception_->bstrDescription =
            SysAllocStringLen(description.data(), static_cast<UINT>(description.size()));
        exception_->scode = E_FAIL;
    }
    return DISP_E_EXCEPTION;
}
