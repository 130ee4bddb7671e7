#include "sivat/sivat_mode.h"

#include <algorithm>

SivatMode ClassifyText(std::wstring_view text) {
    if (text.empty()) return kEmptyText;
    const auto isDigit = [](wchar_t c) { return c >= L'0' && c <= L'9'; };
    const auto isAscii = [](wchar_t c) { return c < 0x80; };
    if (std::all_of(text.begin(), text.end(), isDigit)) return kDigitsOnly;
    if (std::all_of(text.begin(), text.end(), isAscii)) return kOtherAscii;
    return kNonAscii;
}
