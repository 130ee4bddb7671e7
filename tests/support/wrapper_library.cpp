#include "support/wrapper_library.h"

#include <stdexcept>
#include <string>

namespace {
template <class Function>
void Resolve(HMODULE module, const char* name, Function& function) {
    function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    if (function == nullptr) throw std::runtime_error(std::string("export missing: ") + name);
}
}  // namespace

std::wstring BesideTestProgram(const wchar_t* fileName) {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring directory(path, length);
    return directory.substr(0, directory.find_last_of(L"\\/") + 1) + fileName;
}

WrapperLibrary::WrapperLibrary()
    : module(LoadLibraryW(BesideTestProgram(L"Nolv_Lib_Wrapper.dll").c_str())) {
    if (module == nullptr)
        throw std::runtime_error("LoadLibrary failed: " + std::to_string(GetLastError()));
    Resolve(module, "LoadNolvSys", LoadNolvSys);
    Resolve(module, "LoadSivatSys", LoadSivatSys);
    Resolve(module, "FreeNolvSys", FreeNolvSys);
    Resolve(module, "Nolv_Lib_getNumberStrRZ", getNumberStrRZ);
    Resolve(module, "Nolv_Lib_getPartsNameListRZClip", getPartsNameListRZClip);
    Resolve(module, "Sivat_Lib_GetSivatMode", GetSivatMode);
    Resolve(module, "Nolv_Lib_AboutBox", AboutBox);
    Resolve(module, "Nolv_Lib_SivatAboutBox", SivatAboutBox);
    Resolve(module, "Nolv_Lib_editSettingData", editSettingData);
    Resolve(module, "Nolv_Lib_setSettingDataFileName", setSettingDataFileName);
    Resolve(module, "Nolv_Lib_WrapperAboutBox", WrapperAboutBox);
}

WrapperLibrary::~WrapperLibrary() { FreeLibrary(module); }
