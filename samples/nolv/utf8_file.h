// A whole UTF-8 text file (with or without a byte-order mark) as UTF-16.
#pragma once

#include <optional>
#include <string>

// Nothing when the file cannot be opened or read, or is larger than 1 MiB
// (a settings file never is; a larger one is not what the name meant);
// whyNot, when given, then says which, in the system's words where it has
// them. Invalid UTF-8 sequences become U+FFFD.
std::optional<std::wstring> ReadUtf8File(const std::wstring& fileName,
                                         std::wstring* whyNot = nullptr);
