// The plain-text conventions the Nolv sample reads names and settings with.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Without leading and trailing spaces, tabs and carriage returns.
std::wstring_view Trim(std::wstring_view text);

// Names separated by commas or line ends, each trimmed; empty ones dropped.
std::vector<std::wstring> SplitNames(std::wstring_view text);
