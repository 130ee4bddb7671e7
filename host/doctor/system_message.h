// The system's own text for an error code, as FormatMessage gives it.
#pragma once

#include <windows.h>

#include <string>

// Without the trailing line end; empty when the system has no text for it.
std::string SystemMessage(DWORD code);
