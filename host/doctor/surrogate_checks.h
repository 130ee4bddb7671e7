// The checks of the program that runs an isolated component in a process of
// its own (Nolv_Lib_SetIsolation): nolvsurrogate.exe beside the library,
// of the library's architecture, and able to start; beside the 64-bit
// library also nolvsurrogate32.exe, for components that exist only as
// 32-bit DLLs.
#pragma once

#include <string>
#include <vector>

#include "doctor/check.h"

std::vector<Check> SurrogateChecks(const std::wstring& libraryPath);
