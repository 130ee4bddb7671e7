// The shipped DLL as a host sees it: loaded with LoadLibrary from beside
// the test program and called through GetProcAddress.
#pragma once

#include <windows.h>

#include <string>

#include "Nolv_Lib_Wrapper.h"

struct WrapperLibrary {
    WrapperLibrary();
    ~WrapperLibrary();
    WrapperLibrary(const WrapperLibrary&) = delete;
    WrapperLibrary& operator=(const WrapperLibrary&) = delete;

    HMODULE module;
    decltype(&::LoadNolvSys) LoadNolvSys;
    decltype(&::LoadSivatSys) LoadSivatSys;
    decltype(&::FreeNolvSys) FreeNolvSys;
    decltype(&::Nolv_Lib_getNumberStrRZ) getNumberStrRZ;
    decltype(&::Nolv_Lib_getPartsNameListRZClip) getPartsNameListRZClip;
    decltype(&::Sivat_Lib_GetSivatMode) GetSivatMode;
    decltype(&::Nolv_Lib_AboutBox) AboutBox;
    decltype(&::Nolv_Lib_SivatAboutBox) SivatAboutBox;
    decltype(&::Nolv_Lib_editSettingData) editSettingData;
    decltype(&::Nolv_Lib_setSettingDataFileName) setSettingDataFileName;
    decltype(&::Nolv_Lib_WrapperAboutBox) WrapperAboutBox;
};

// Full path of a file beside the running test program.
std::wstring BesideTestProgram(const wchar_t* fileName);
