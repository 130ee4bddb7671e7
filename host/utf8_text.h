// Texts of the UTF-16 commands: given as UTF-8 so that a script can carry
// any character whatever the ANSI code page, and reported as UTF-8.
#pragma once

#include <string>

std::wstring WideFromUtf8(const std::string& text);
std::string Utf8FromWide(const std::wstring& text);
