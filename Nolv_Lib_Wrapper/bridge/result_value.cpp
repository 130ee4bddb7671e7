#include "bridge/result_value.h"

#include "bridge/text_conversion.h"

namespace {
// Converts the result to type into a value of its own; false when the
// method set no result or the conversion fails.
bool ConvertInto(ResultValue& result, VARTYPE type, ResultValue& converted) {
    if (V_VT(result.get()) == VT_EMPTY) return false;
    return SUCCEEDED(VariantChangeType(converted.get(), result.get(), 0, type));
}
}  // namespace

AnsiText ResultAsAnsiText(ResultValue& result) {
    ResultValue text;
    if (!ConvertInto(result, VT_BSTR, text)) return nullptr;
    return ConvertBstrToAnsi(V_BSTR(text.get()));
}

std::optional<LONG> ResultAsInteger(ResultValue& result) {
    ResultValue integer;
    if (!ConvertInto(result, VT_I4, integer)) return std::nullopt;
    return V_I4(integer.get());
}
