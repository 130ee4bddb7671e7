// getSivatMode's classification of a text.
#pragma once

#include "common/com_headers.h"

#include <string_view>

enum SivatMode : LONG {
    kEmptyText = 0,
    kDigitsOnly = 1,   // ASCII 0-9 and nothing else
    kOtherAscii = 2,   // only characters below U+0080, not all digits
    kNonAscii = 3,     // at least one character at or above U+0080
};

SivatMode ClassifyText(std::wstring_view text);
