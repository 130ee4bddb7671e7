#include "bridge/result_value.h"

#include "frame/failure_record.h"

namespace {
// Converts the result to type into a value of its own; false, with the
// failure recorded, when the method set no result or the conversion fails.
bool ConvertInto(ResultValue& result, VARTYPE type, ResultValue& converted) {
    if (V_VT(result.get()) == VT_EMPTY) {
        RecordFailure(FailureStep::NoResult, DISP_E_TYPEMISMATCH);
        return false;
    }
    const HRESULT status = VariantChangeType(converted.get(), result.get(), 0, type);
    if (FAILED(status)) RecordFailure(FailureStep::ResultType, status);
    return SUCCEEDED(status);
}
}  // namespace

Bstr ResultAsBstr(ResultValue& result) {
    ResultValue text;
    if (!ConvertInto(result, VT_BSTR, text)) return Bstr();
    Bstr string(V_BSTR(text.get()));
    V_VT(text.get()) = VT_EMPTY;  // the string now belongs to its owner
    return string;
}

std::optional<LONG> ResultAsInteger(ResultValue& result) {
    ResultValue integer;
    if (!ConvertInto(result, VT_I4, integer)) return std::nullopt;
    return V_I4(integer.get());
}
