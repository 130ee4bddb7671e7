// Text delivered into a host's own buffer, in the Win32 manner: the host
// passes the buffer and its size in characters (bytes for ANSI text, UTF-16
// units for wide text) and learns through *needed the size the whole text
// takes, its NUL included. The buffer is NUL-terminated whenever its size is
// above 0; a text that does not fit is cut where a character ends, never
// inside a character of the ANSI code page (a double-byte character, a
// UTF-8 sequence) or a surrogate pair. A null buffer or a
// size of 0 (or below) only reports the size needed. needed may be null.
#pragma once

#include <windows.h>
#include <oleauto.h>

// True when the whole text is in the buffer.
bool DeliverToBuffer(const char* text, char* buffer, int size, int* needed) noexcept;
bool DeliverToBuffer(const wchar_t* text, wchar_t* buffer, int size, int* needed) noexcept;

// A component's string into the buffer: as ANSI text of the code page
// (raising as ConvertBstrToAnsi does) or as the UTF-16 text itself, up to
// its first NUL. A null string is the empty text. A text cut to fit a
// buffer the host gave is recorded as the call's failure.
bool DeliverHostText(BSTR text, char* buffer, int size, int* needed);
bool DeliverHostText(BSTR text, wchar_t* buffer, int size, int* needed);
