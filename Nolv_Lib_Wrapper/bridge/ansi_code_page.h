// Where the characters of converted ANSI text end, by the ANSI code page
// the text conversions use (CP_ACP), read once when the library loads:
// lead bytes of a double-byte code page, whole sequences under UTF-8
// (65001). Not the C runtime's multibyte table: a host may change that one
// (_setmbcp), and it has no notion of UTF-8.
#pragma once

#include <cstddef>

// Bytes of the character that starts at text (at least 1, never past a
// NUL).
std::size_t AnsiCharacterUnits(const char* text);

// Whether byte starts a double-byte character of the ANSI code page.
bool IsAnsiLeadByte(unsigned char byte);
