// Text between the host's ANSI code page and automation strings. Both
// directions raise _com_error on failure: E_OUTOFMEMORY when memory is
// exhausted, otherwise the code-page conversion's last error as an HRESULT.
#pragma once

#include "bridge/automation_owners.h"

// Null text gives a null string.
Bstr ConvertAnsiToBstr(const char* text);

// A null string gives null; otherwise the text up to the string's first NUL.
AnsiText ConvertBstrToAnsi(BSTR text);
