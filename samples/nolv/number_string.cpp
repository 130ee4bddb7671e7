#include "nolv/number_string.h"

#include <cstdlib>

namespace {

// As printf's "%0*ld": the width counts the minus sign.
std::wstring Padded(LONG value, int width) {
    const std::wstring digits = std::to_wstring(std::llabs(static_cast<long long>(value)));
    const std::wstring sign = value < 0 ? L"-" : L"";
    const int padding = width - static_cast<int>(sign.size() + digits.size());
    return sign + std::wstring(padding > 0 ? static_cast<std::size_t>(padding) : 0, L'0') +
           digits;
}

void Append(std::wstring& text, std::wstring_view part, const std::wstring& separator) {
    if (part.empty()) return;
    if (!text.empty()) text += separator;
    text += part;
}

// 32-bit wrap-around, as the caller's own integer arithmetic.
LONG Advanced(LONG counter, LONG step) {
    return static_cast<LONG>(static_cast<ULONG>(counter) + static_cast<ULONG>(step));
}

}  // namespace

NumberString MakeNumberString(const NumberScheme& scheme, std::wstring_view prefix,
                              std::wstring_view suffix, LONG first, LONG second) {
    std::wstring text;
    Append(text, prefix, scheme.separator);
    Append(text, Padded(first, scheme.width), scheme.separator);
    Append(text, Padded(second, scheme.width), scheme.separator);
    Append(text, suffix, scheme.separator);
    const LONG length = static_cast<LONG>(text.size());
    return NumberString{std::move(text), Advanced(first, scheme.step), length};
}
