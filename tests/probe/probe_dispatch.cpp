// GetIDsOfNames and Invoke of the probe's objects.
#include "probe_dispatch.h"

#include "probe_record.h"
#include "probe_script.h"

#include <algorithm>

namespace probe {
namespace {

void recordArg(Record& record, int index, const VARIANT& element) {
    ProbeArg& arg = record.call.args[index];
    arg.vt = V_VT(&element);
    arg.text = L"";
    if (!(arg.vt & VT_BYREF)) return;
    arg.pointer = V_BYREF(&element);
    if (arg.vt == (VT_BSTR | VT_BYREF)) {
        const BSTR text = V_BSTRREF(&element) ? *V_BSTRREF(&element) : nullptr;
        arg.textIsNull = text == nullptr;
        arg.textLength = static_cast<int>(SysStringLen(text));
        // The length, not the terminator, bounds a BSTR: copy it all.
        if (text) record.setArgText(index, text, SysStringLen(text));
    } else if (arg.vt == (VT_I4 | VT_BYREF) && V_I4REF(&element)) {
        arg.integer = *V_I4REF(&element);
    }
}

void recordInvoke(Record& record, int component, DISPID dispid, REFIID riid,
                  LCID lcid, WORD flags, const DISPPARAMS* params,
                  const VARIANT* result, const EXCEPINFO* excepInfo,
                  const UINT* argErr, const Method* method) {
    ProbeCall& call = record.call;
    call.component = component;
    call.kind = PROBE_INVOKE;
    if (method) record.setName(method->name.c_str(), method->name.size());
    call.riidIsNull = IsEqualIID(riid, IID_NULL);
    call.dispid = dispid;
    call.lcid = lcid;
    call.flags = flags;
    call.resultRequested = result != nullptr;
    call.excepInfoRequested = excepInfo != nullptr;
    call.argErrRequested = argErr != nullptr;
    if (params == nullptr) return;
    call.argCount = static_cast<int>(params->cArgs);
    call.namedArgCount = static_cast<int>(params->cNamedArgs);
    if (params->rgvarg == nullptr) return;
    const int recorded = std::min(call.argCount, PROBE_MAX_ARGS);
    for (int i = 0; i < recorded; ++i) recordArg(record, i, params->rgvarg[i]);
}

// The element a declared parameter arrived in, when it has the by-reference
// type a write-back needs; null otherwise.
VARIANT* writableArg(DISPPARAMS& params, int declaredIndex, VARTYPE type) {
    if (declaredIndex < 0 || static_cast<UINT>(declaredIndex) >= params.cArgs ||
        params.rgvarg == nullptr)
        return nullptr;
    VARIANT& element = params.rgvarg[params.cArgs - 1 - declaredIndex];
    if (V_VT(&element) != type || V_BYREF(&element) == nullptr) return nullptr;
    return &element;
}

// Checks every write-back before making any, so that a call that fails
// leaves all the caller's variables as they were.
HRESULT checkWriteBacks(const Method& method, DISPPARAMS& params, UINT* argErr) {
    auto check = [&](int declaredIndex, VARTYPE type) {
        if (writableArg(params, declaredIndex, type)) return S_OK;
        if (declaredIndex < 0 || static_cast<UINT>(declaredIndex) >= params.cArgs)
            return DISP_E_BADPARAMCOUNT;
        if (argErr) *argErr = params.cArgs - 1 - declaredIndex;
        return DISP_E_TYPEMISMATCH;
    };
    for (const IntegerWriteBack& out : method.integerWriteBacks)
        if (HRESULT hr = check(out.declaredIndex, VT_I4 | VT_BYREF); FAILED(hr)) return hr;
    for (const TextWriteBack& out : method.textWriteBacks)
        if (HRESULT hr = check(out.declaredIndex, VT_BSTR | VT_BYREF); FAILED(hr)) return hr;
    return S_OK;
}

HRESULT writeBack(const Method& method, DISPPARAMS& params) {
    for (const TextWriteBack& out : method.textWriteBacks) {
        BSTR text = nullptr;
        if (!out.isNull) {
            text = SysAllocString(out.text.c_str());
            if (text == nullptr) return E_OUTOFMEMORY;
        }
        // An in-out BSTR belongs to the callee while it runs: free the old one.
        BSTR* target = V_BSTRREF(writableArg(params, out.declaredIndex, VT_BSTR | VT_BYREF));
        SysFreeString(*target);
        *target = text;
    }
    for (const IntegerWriteBack& out : method.integerWriteBacks)
        *V_I4REF(writableArg(params, out.declaredIndex, VT_I4 | VT_BYREF)) = out.value;
    return S_OK;
}

// The exception a deferred fill-in completes: a copy of the last one
// raised, since the caller fills in right after the call that raised it.
RaisedException pendingException;
HostHook pendingHook;

void fillIn(EXCEPINFO* info, const RaisedException& exception) {
    info->bstrSource = exception.hasSource ? SysAllocString(exception.source.c_str()) : nullptr;
    info->bstrDescription =
        exception.hasDescription ? SysAllocString(exception.description.c_str()) : nullptr;
    info->scode = E_FAIL;
}

HRESULT STDAPICALLTYPE deferredFillIn(EXCEPINFO* info) {
    if (info == nullptr) return E_POINTER;
    info->pfnDeferredFillIn = nullptr;
    fillIn(info, pendingException);
    const HostHook hook = pendingHook;
    hook.run(PROBE_HOOK_IN_FILL_IN);
    return S_OK;
}

HRESULT raise(const Method& method, EXCEPINFO* info) {
    const RaisedException& exception = method.exception;
    if (info != nullptr) {
        *info = EXCEPINFO{};
        if (exception.deferred) {
            pendingException = exception;
            pendingHook = method.hook;
            info->pfnDeferredFillIn = deferredFillIn;
        } else {
            fillIn(info, exception);
        }
    }
    return DISP_E_EXCEPTION;
}

HRESULT runScript(const Method& method, DISPPARAMS& params, VARIANT* result,
                  EXCEPINFO* excepInfo, UINT* argErr) {
    if (method.exception.raised) return raise(method, excepInfo);
    if (FAILED(method.status)) return method.status;
    if (HRESULT hr = checkWriteBacks(method, params, argErr); FAILED(hr)) return hr;
    if (HRESULT hr = writeBack(method, params); FAILED(hr)) return hr;
    if (method.hasResult && result) {
        // VariantCopy only reads its source; the SDK declares it non-const.
        VARIANT* source = const_cast<VARIANT*>(&method.result.value);
        if (HRESULT hr = VariantCopy(result, source); FAILED(hr)) return hr;
    }
    return method.status;
}

}  // namespace

HRESULT lookUpNames(int component, REFIID riid, LPOLESTR* names, UINT nameCount,
                    LCID lcid, DISPID* dispids) {
    const wchar_t* first = names && nameCount > 0 ? names[0] : nullptr;
    DISPID dispid = DISPID_UNKNOWN;
    HRESULT status = E_INVALIDARG;
    if (first && dispids) {
        status = findMethod(component, first, &dispid) ? S_OK : DISP_E_UNKNOWNNAME;
        dispids[0] = dispid;
        // Our methods have no named parameters: any further name is unknown.
        for (UINT i = 1; i < nameCount; ++i) {
            dispids[i] = DISPID_UNKNOWN;
            status = DISP_E_UNKNOWNNAME;
        }
    }
    if (Record* record = beginRecord()) {
        ProbeCall& call = record->call;
        call.component = component;
        call.kind = PROBE_LOOKUP;
        if (first) record->setName(first, wcslen(first));
        call.nameCount = static_cast<int>(nameCount);
        call.riidIsNull = IsEqualIID(riid, IID_NULL);
        call.dispid = dispid;
        call.status = status;
        call.lcid = lcid;
    }
    return status;
}

HRESULT invoke(int component, DISPID dispid, REFIID riid, LCID lcid, WORD flags,
               DISPPARAMS* params, VARIANT* result, EXCEPINFO* excepInfo,
               UINT* argErr) {
    const Method* method = methodOf(component, dispid);
    // Logged first: the arguments as they came in, before any write-back.
    Record* record = beginRecord();
    if (record)
        recordInvoke(*record, component, dispid, riid, lcid, flags, params,
                     result, excepInfo, argErr, method);
    HRESULT status = E_INVALIDARG;
    if (params && (params->cArgs == 0 || params->rgvarg))
        status = method ? runScript(*method, *params, result, excepInfo, argErr)
                        : DISP_E_MEMBERNOTFOUND;
    if (record) record->call.status = status;
    // A copy: the host's code may script the probe anew.
    const HostHook hook = method ? method->hook : HostHook{};
    hook.run(PROBE_HOOK_IN_CALL);
    return status;
}

}  // namespace probe
