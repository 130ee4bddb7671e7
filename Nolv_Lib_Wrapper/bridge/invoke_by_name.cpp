#include "bridge/invoke_by_name.h"

#include "frame/memory_exception.h"

namespace {
// Every lookup and call uses the system default locale, as the components
// expect.
constexpr LCID kCallLocale = LOCALE_SYSTEM_DEFAULT;
}  // namespace

std::optional<DISPID> LookUpMethod(IDispatch* dispatch, const wchar_t* name) {
    if (dispatch == nullptr) return std::nullopt;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    DISPID method = DISPID_UNKNOWN;
    if (FAILED(dispatch->GetIDsOfNames(IID_NULL, names, 1, kCallLocale, &method)))
        return std::nullopt;
    return method;
}

ArgumentArray::ArgumentArray(std::size_t count)
    : count_(count), elements_(count > 0 ? NewArrayOrThrow<VARIANTARG>(count) : nullptr) {}

void ArgumentArray::Text(std::size_t element, BSTR* text) {
    elements_[element].vt = VT_BSTR | VT_BYREF;
    elements_[element].pbstrVal = text;
}

void ArgumentArray::Integer(std::size_t element, LONG* value) {
    elements_[element].vt = VT_I4 | VT_BYREF;
    elements_[element].plVal = value;
}

DISPPARAMS ArgumentArray::Parameters() {
    DISPPARAMS parameters{};
    parameters.rgvarg = elements_.get();
    parameters.cArgs = static_cast<UINT>(count_);
    return parameters;
}

void InvokeMethod(IDispatch* dispatch, DISPID method, ArgumentArray& arguments, VARIANT* result) {
    DISPPARAMS parameters = arguments.Parameters();
    dispatch->Invoke(method, IID_NULL, kCallLocale, DISPATCH_METHOD, &parameters, result,
                     nullptr, nullptr);
}

void CallMethod(IDispatch* dispatch, const wchar_t* name) {
    const std::optional<DISPID> method = LookUpMethod(dispatch, name);
    if (!method) return;
    ArgumentArray none(0);
    InvokeMethod(dispatch, *method, none, nullptr);
}
