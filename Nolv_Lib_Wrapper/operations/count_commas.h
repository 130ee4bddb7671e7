// Separating commas of a parts-name list: in ANSI text, aware of its
// double-byte characters; in UTF-16 text, every U+002C.
#pragma once

// By the runtime's current multibyte code page, as the clipboard form
// counts the list it reads back.
int CountCommas(const char* text);
// By the ANSI code page the text was converted with, as the buffer form
// counts the list in the host's buffer.
int CountAnsiCommas(const char* text);
int CountCommas(const wchar_t* text);
