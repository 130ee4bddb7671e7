// The shipped DLL as a host sees it: loaded with LoadLibrary from beside
// the test program and called through GetProcAddress.
#pragma once

#include <windows.h>

#include <string>

#include "wrapper_exports.h"

struct WrapperLibrary : WrapperExports {
    WrapperLibrary();
    ~WrapperLibrary();
    WrapperLibrary(const WrapperLibrary&) = delete;
    WrapperLibrary& operator=(const WrapperLibrary&) = delete;

    HMODULE module;
};
