// A sample component's server DLL, loaded by path from beside the test
// program to call its own entry points (registration, DllCanUnloadNow).
#pragma once

#include <windows.h>

#include "wrapper_exports.h"

class SampleServer {
public:
    explicit SampleServer(const wchar_t* fileName)
        : module_(LoadLibraryW(BesideProgram(fileName).c_str())) {}
    ~SampleServer() { FreeLibrary(module_); }
    SampleServer(const SampleServer&) = delete;
    SampleServer& operator=(const SampleServer&) = delete;

    HRESULT Call(const char* entry) const {
        auto function = reinterpret_cast<HRESULT(WINAPI*)()>(
            reinterpret_cast<void*>(GetProcAddress(module_, entry)));
        return function != nullptr ? function() : E_NOTIMPL;
    }

private:
    HMODULE module_;
};
