#include "support/wrapper_library.h"

#include <stdexcept>
#include <string>

WrapperLibrary::WrapperLibrary()
    : module(LoadLibraryW(BesideProgram(L"Nolv_Lib_Wrapper.dll").c_str())) {
    if (module == nullptr)
        throw std::runtime_error("LoadLibrary failed: " + std::to_string(GetLastError()));
    if (const char* missing = ResolveWrapperExports(module, *this))
        throw std::runtime_error(std::string("export missing: ") + missing);
}

WrapperLibrary::~WrapperLibrary() { FreeLibrary(module); }
