// The Nolv sample's settings: the number-string scheme and the catalogue of
// parts names. The file format is described in samples/README.md.
#pragma once

#include "common/com_headers.h"

#include <string>
#include <string_view>
#include <vector>

struct NumberScheme {
    std::wstring separator = L"-";
    int width = 4;  // digits at the least, zero-padded; 0 to kWidestNumber
    LONG step = 1;  // added to the counter by each number string
};

inline constexpr int kWidestNumber = 32;

struct NolvSettings {
    NumberScheme number;
    std::vector<std::wstring> parts;  // empty unless a settings file names some
};

// Unknown sections and keys, and values that do not parse, leave the
// built-in defaults.
NolvSettings ParseSettings(std::wstring_view text);

// The built-in defaults when there is no name or the file cannot be read;
// whyNot, when given, then says why the file could not be read (it stays
// empty for no name).
NolvSettings LoadSettings(const std::wstring& fileName, std::wstring* whyNot = nullptr);
