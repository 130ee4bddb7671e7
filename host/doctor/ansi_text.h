// Wide texts (paths, system messages) as the host prints them: in the ANSI
// code page, like everything else on its output.
#pragma once

#include <string>

std::string AnsiText(const std::wstring& text);
std::wstring WideText(const std::string& ansi);
