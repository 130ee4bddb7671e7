#include "common/dispatch_object.h"

#include "common/module_lock.h"

#include <cwchar>
#include <new>
#include <utility>

namespace {
// A method's DISPID is its place in the table plus one: 0 is DISPID_VALUE,
// which these objects do not have.
DISPID IdOf(std::size_t place) { return static_cast<DISPID>(place + 1); }
}  // namespace

DispatchObject::DispatchObject(MethodTable methods) : methods_(std::move(methods)) {
    LockModule();
}

DispatchObject::~DispatchObject() { UnlockModule(); }

HRESULT STDMETHODCALLTYPE DispatchObject::QueryInterface(REFIID riid, void** object) {
    if (object == nullptr) return E_POINTER;
    if (!IsEqualIID(riid, IID_IUnknown) && !IsEqualIID(riid, IID_IDispatch)) {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    *object = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
}

ULONG STDMETHODCALLTYPE DispatchObject::AddRef() {
    return static_cast<ULONG>(InterlockedIncrement(&references_));
}

ULONG STDMETHODCALLTYPE DispatchObject::Release() {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
}

HRESULT STDMETHODCALLTYPE DispatchObject::GetTypeInfoCount(UINT* count) {
    if (count == nullptr) return E_INVALIDARG;
    *count = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE DispatchObject::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info == nullptr) return E_INVALIDARG;
    *info = nullptr;
    return DISP_E_BADINDEX;
}

// Only the member name can be known: these methods have no named
// parameters, so any further names are unknown.
HRESULT STDMETHODCALLTYPE DispatchObject::GetIDsOfNames(REFIID riid, LPOLESTR* names,
                                                        UINT nameCount, LCID, DISPID* ids) {
    if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    if (names == nullptr || ids == nullptr || nameCount == 0) return E_INVALIDARG;
    for (UINT name = 0; name < nameCount; ++name) ids[name] = DISPID_UNKNOWN;
    if (names[0] != nullptr) {
        for (std::size_t place = 0; place < methods_.size(); ++place) {
            if (_wcsicmp(names[0], methods_[place].name) == 0) {
                ids[0] = IdOf(place);
                break;
            }
        }
    }
    const bool allKnown = ids[0] != DISPID_UNKNOWN && nameCount == 1;
    return allKnown ? S_OK : DISP_E_UNKNOWNNAME;
}

HRESULT STDMETHODCALLTYPE DispatchObject::Invoke(DISPID id, REFIID riid, LCID, WORD flags,
                                                 DISPPARAMS* parameters, VARIANT* result,
                                                 EXCEPINFO* exception, UINT* badArgument) {
    if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    if (id < IdOf(0) || id >= IdOf(methods_.size()) || (flags & DISPATCH_METHOD) == 0)
        return DISP_E_MEMBERNOTFOUND;
    if (parameters == nullptr) return E_INVALIDARG;
    if (parameters->cNamedArgs != 0) return DISP_E_NONAMEDARGS;
    const Method& method = methods_[static_cast<std::size_t>(id - IdOf(0))];
    if (parameters->cArgs != method.parameterCount) return DISP_E_BADPARAMCOUNT;
    if (parameters->cArgs != 0 && parameters->rgvarg == nullptr) return E_INVALIDARG;
    return Run(method, *parameters, result, exception, badArgument);
}

// Nothing may unwind into the caller, which need not be C++ at all.
HRESULT DispatchObject::Run(const Method& method, DISPPARAMS& parameters, VARIANT* result,
                            EXCEPINFO* exception, UINT* badArgument) {
    try {
        MethodCall call(parameters, result, exception);
        const HRESULT hr = method.run(call);
        if (hr == DISP_E_TYPEMISMATCH && badArgument != nullptr)
            *badArgument = call.BadArgument();
        return hr;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}
