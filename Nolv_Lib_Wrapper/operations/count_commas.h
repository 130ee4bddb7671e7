// Separating commas of a parts-name list: in ANSI text, aware of the
// double-byte characters of the runtime's current multibyte code page; in
// UTF-16 text, every U+002C.
#pragma once

int CountCommas(const char* text);
int CountCommas(const wchar_t* text);
