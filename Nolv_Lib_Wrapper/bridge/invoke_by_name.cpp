#include "bridge/invoke_by_name.h"

#include "bridge/automation_owners.h"
#include "frame/failure_record.h"
#include "frame/fixed_text.h"
#include "frame/memory_exception.h"

#include <optional>

namespace {

// Every lookup and call uses the system default locale, as the components
// expect.
constexpr LCID kCallLocale = LOCALE_SYSTEM_DEFAULT;

// E_ILLEGAL_METHOD_CALL, "a method was called at an unexpected time": the
// status of an operation on a component the host has not loaded.
constexpr HRESULT kNotLoaded = static_cast<HRESULT>(0x8000000E);

// What a call through a proxy answers once the process behind it (the
// 64-bit twin's DLL surrogate) has ended.
bool ComponentGone(HRESULT status) {
    switch (status) {
    case RPC_E_DISCONNECTED:
    case RPC_E_SERVER_DIED:
    case RPC_E_SERVER_DIED_DNE:
    case CO_E_OBJNOTCONNECTED:
    case __HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE):
    case __HRESULT_FROM_WIN32(RPC_S_CALL_FAILED):
        return true;
    default:
        return false;
    }
}

// A call returns as the process it ran in ends; its exit code, which says
// how, may follow a moment later.
constexpr DWORD kExitCodeWait = 2000;

// How an isolated component's process ended under a call: a time limit
// that passed, or anything else, a crash first of all.
bool RecordIsolatedEnd(IsolatedComponent& isolated, HRESULT status) {
    const DWORD exitCode = isolated.process().ExitCode(kExitCodeWait);
    if (exitCode == STILL_ACTIVE) return RecordFailure(FailureStep::ComponentGone, status);
    wchar_t words[16];
    FixedText subject(words, ARRAYSIZE(words));
    if (exitCode == kSurrogateEndedForTimeLimit) {
        subject.AppendDecimal(isolated.callLimit());
        return RecordFailure(FailureStep::CallTimeLimit, status, subject.text());
    }
    subject.AppendHex(exitCode);
    return RecordFailure(FailureStep::ComponentCrashed, status, subject.text());
}

bool RecordComponentFailure(const CalledComponent& component, FailureStep step, HRESULT status) {
    if (ComponentGone(status)) {
        if (component.isolated) return RecordIsolatedEnd(*component.isolated, status);
        step = FailureStep::ComponentGone;
    }
    // A proxy refuses calls from any thread but the one that loaded it.
    if (status == RPC_E_WRONG_THREAD) step = FailureStep::WrongThread;
    return RecordFailure(step, status);
}

// An isolated component's time limit over one call on it.
class LimitedCall {
public:
    explicit LimitedCall(const CalledComponent& component) {
        if (component.isolated) limit_.emplace(component.isolated->process());
    }

private:
    std::optional<CallTimeLimit> limit_;
};

// The component's own words, when it gave any, and the argument it
// objected to, numbered as the method declares its parameters.
void AddComponentDetails(HRESULT status, EXCEPINFO& exception, UINT argumentError, UINT count) {
    wchar_t buffer[768];
    FixedText detail(buffer, ARRAYSIZE(buffer));
    if (status == DISP_E_EXCEPTION) {
        if (exception.pfnDeferredFillIn != nullptr) exception.pfnDeferredFillIn(&exception);
        if (exception.bstrDescription != nullptr) {
            detail.Append(L"the component says: ").Append(exception.bstrDescription);
            if (exception.bstrSource != nullptr)
                detail.Append(L" (source: ").Append(exception.bstrSource).Append(L")");
        } else if (exception.bstrSource != nullptr) {
            detail.Append(L"source: ").Append(exception.bstrSource);
        }
        // E_FAIL says no more than the exception itself.
        if (exception.scode != 0 && exception.scode != status && exception.scode != E_FAIL)
            detail.Append(detail.length() > 0 ? L"; " : L"").Append(L"its code: ").AppendHex(
                static_cast<DWORD>(exception.scode));
        else if (exception.wCode != 0)
            detail.Append(detail.length() > 0 ? L"; " : L"").Append(L"its code: ").AppendDecimal(
                exception.wCode);
    }
    if ((status == DISP_E_TYPEMISMATCH || status == DISP_E_PARAMNOTFOUND) && argumentError < count)
        detail.Append(detail.length() > 0 ? L"; " : L"").Append(L"at argument ")
            .AppendDecimal(count - argumentError).Append(L" of ").AppendDecimal(count);
    if (detail.length() > 0) AddFailureDetail(detail.text());
}

}  // namespace

CalledComponent IsolatedCallReference(ComponentSlot& slot) {
    if (slot.isolated->Ended()) RestartComponent(slot);
    MarkCalling(slot.dispatch.get(), slot.isolated.get());
    return {slot.isolated.get(), slot.dispatch.get()};
}

std::optional<DISPID> LookUpMethod(const CalledComponent& component, const wchar_t* name) {
    if (!component.dispatch) {
        RecordFailure(FailureStep::NotLoaded, kNotLoaded);
        return std::nullopt;
    }
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    DISPID method = DISPID_UNKNOWN;
    HRESULT status;
    {
        const LimitedCall limited(component);
        status = component.dispatch->GetIDsOfNames(IID_NULL, names, 1, kCallLocale, &method);
    }
    if (FAILED(status)) {
        RecordComponentFailure(component, FailureStep::MethodLookup, status);
        return std::nullopt;
    }
    return method;
}

ArgumentArray::ArgumentArray(std::size_t count)
    : count_(count), elements_(count > 0 ? NewArrayOrThrow<VARIANTARG>(count) : nullptr) {}

void InvokeMethod(const CalledComponent& component, DISPID method, ArgumentArray& arguments,
                  VARIANT* result) {
    DISPPARAMS parameters = arguments.Parameters();
    ExceptionInfo exception;
    UINT argumentError = static_cast<UINT>(-1);
    HRESULT status;
    {
        const LimitedCall limited(component);
        status = component.dispatch->Invoke(method, IID_NULL, kCallLocale, DISPATCH_METHOD,
                                            &parameters, result, exception.get(), &argumentError);
    }
    if (FAILED(status) && RecordComponentFailure(component, FailureStep::Call, status))
        AddComponentDetails(status, *exception.get(), argumentError, parameters.cArgs);
}

void CallMethod(ComponentSlot& slot, const wchar_t* name) {
    const CalledComponent component = CallReference(slot);
    const std::optional<DISPID> method = LookUpMethod(component, name);
    if (!method) return;
    ArgumentArray none(0);
    InvokeMethod(component, *method, none, nullptr);
}
