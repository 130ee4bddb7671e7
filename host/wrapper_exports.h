// Nolv_Lib_Wrapper.dll's functions as a host reaches them: looked up by
// name in the copy installed beside the program. The host and the tests
// share this, so that both call the DLL exactly as a host does.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "Nolv_Lib_Wrapper.h"

struct WrapperExports {
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
    // Added after the eleven: stdcall, text into the caller's buffer.
    decltype(&::Nolv_Lib_getNumberStrBuf) getNumberStrBuf;
    decltype(&::Nolv_Lib_getNumberStrBufW) getNumberStrBufW;
    decltype(&::Nolv_Lib_getPartsNameListBuf) getPartsNameListBuf;
    decltype(&::Nolv_Lib_getPartsNameListBufW) getPartsNameListBufW;
    decltype(&::Sivat_Lib_GetSivatModeW) GetSivatModeW;
    decltype(&::Nolv_Lib_setSettingDataFileNameW) setSettingDataFileNameW;
    // Why the last call failed.
    decltype(&::Nolv_Lib_GetLastFailure) GetLastFailure;
    decltype(&::Nolv_Lib_GetLastFailureW) GetLastFailureW;
    // How the components run.
    decltype(&::Nolv_Lib_SetIsolation) SetIsolation;
};

// Full path of a file in the running program's directory.
std::wstring BesideProgram(const wchar_t* fileName);

// Looks up all the functions in module; the name of the first one that is
// missing, or null when all were found.
const char* ResolveWrapperExports(HMODULE module, WrapperExports& exports);

// The names of all the functions module lacks; empty when it has them all.
std::vector<std::string> MissingWrapperExports(HMODULE module);

// The library's record of why its last call failed, read in UTF-16 (the
// component's words arrive whatever the ANSI code page): status S_OK and
// no line when it did not fail.
struct LastFailure {
    HRESULT status;
    std::wstring line;
};
LastFailure ReadLastFailure(const WrapperExports& exports);
