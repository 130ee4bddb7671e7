// Text between the host's ANSI code page (or its UTF-16 text) and
// automation strings. The conversions raise _com_error on failure, with
// the failure recorded: E_OUTOFMEMORY when memory is exhausted, otherwise
// the code-page conversion's last error as an HRESULT.
#pragma once

#include "bridge/automation_owners.h"

// Null text gives a null string.
Bstr ConvertAnsiToBstr(const char* text);

// A null string gives null; otherwise the text up to the string's first NUL.
AnsiText ConvertBstrToAnsi(BSTR text);

// A host's UTF-16 text as it is, never through the code page; null text
// gives a null string. Raises E_OUTOFMEMORY.
Bstr ConvertWideToBstr(const wchar_t* text);

// The host's text, whichever width it comes in, for code that serves both.
inline Bstr HostTextToBstr(const char* text) { return ConvertAnsiToBstr(text); }
inline Bstr HostTextToBstr(const wchar_t* text) { return ConvertWideToBstr(text); }
