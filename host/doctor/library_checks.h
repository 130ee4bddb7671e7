// The checks of Nolv_Lib_Wrapper.dll itself: found, of this process's
// architecture, exporting the eleven functions and the eight added, and its
// version.
#pragma once

#include <string>
#include <vector>

#include "doctor/check.h"

std::vector<Check> LibraryChecks(const std::wstring& path);
