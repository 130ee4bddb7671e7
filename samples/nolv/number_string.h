// getNumberStr's rule: the number string and what becomes of the caller's
// two integers.
#pragma once

#include "nolv/settings.h"

struct NumberString {
    std::wstring text;
    LONG first;   // the counter, advanced by the scheme's step
    LONG second;  // the number of characters of text
};

// The non-empty ones of prefix, first, second and suffix, in that order,
// joined by the separator; the numbers zero-padded to the scheme's width.
NumberString MakeNumberString(const NumberScheme& scheme, std::wstring_view prefix,
                              std::wstring_view suffix, LONG first, LONG second);
