#include "wrapper_exports.h"

#include <cwchar>

namespace {
template <class Function>
bool Resolve(HMODULE module, const char* name, Function& function) {
    function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    return function != nullptr;
}
}  // namespace

std::wstring BesideProgram(const wchar_t* fileName) {
    std::wstring path(MAX_PATH, L'\0');
    DWORD length;
    while ((length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()))) ==
           path.size())
        path.resize(path.size() * 2);
    path.resize(length);
    return path.substr(0, path.find_last_of(L"\\/") + 1) + fileName;
}

namespace {
// Calls missed(name) for each function module lacks, in the header's order.
template <class Missed>
void ResolveEach(HMODULE module, WrapperExports& exports, Missed missed) {
    auto resolve = [&](const char* name, auto& function) {
        if (!Resolve(module, name, function)) missed(name);
    };
    resolve("LoadNolvSys", exports.LoadNolvSys);
    resolve("LoadSivatSys", exports.LoadSivatSys);
    resolve("FreeNolvSys", exports.FreeNolvSys);
    resolve("Nolv_Lib_getNumberStrRZ", exports.getNumberStrRZ);
    resolve("Nolv_Lib_getPartsNameListRZClip", exports.getPartsNameListRZClip);
    resolve("Sivat_Lib_GetSivatMode", exports.GetSivatMode);
    resolve("Nolv_Lib_AboutBox", exports.AboutBox);
    resolve("Nolv_Lib_SivatAboutBox", exports.SivatAboutBox);
    resolve("Nolv_Lib_editSettingData", exports.editSettingData);
    resolve("Nolv_Lib_setSettingDataFileName", exports.setSettingDataFileName);
    resolve("Nolv_Lib_WrapperAboutBox", exports.WrapperAboutBox);
    resolve("Nolv_Lib_getNumberStrBuf", exports.getNumberStrBuf);
    resolve("Nolv_Lib_getNumberStrBufW", exports.getNumberStrBufW);
    resolve("Nolv_Lib_getPartsNameListBuf", exports.getPartsNameListBuf);
    resolve("Nolv_Lib_getPartsNameListBufW", exports.getPartsNameListBufW);
    resolve("Sivat_Lib_GetSivatModeW", exports.GetSivatModeW);
    resolve("Nolv_Lib_setSettingDataFileNameW", exports.setSettingDataFileNameW);
    resolve("Nolv_Lib_GetLastFailure", exports.GetLastFailure);
    resolve("Nolv_Lib_GetLastFailureW", exports.GetLastFailureW);
    resolve("Nolv_Lib_SetIsolation", exports.SetIsolation);
}
}  // namespace

const char* ResolveWrapperExports(HMODULE module, WrapperExports& exports) {
    const char* missing = nullptr;
    ResolveEach(module, exports, [&missing](const char* name) {
        if (missing == nullptr) missing = name;
    });
    return missing;
}

std::vector<std::string> MissingWrapperExports(HMODULE module) {
    WrapperExports exports;
    std::vector<std::string> missing;
    ResolveEach(module, exports, [&missing](const char* name) { missing.emplace_back(name); });
    return missing;
}

// Reading leaves the record as it is: the second read gives the line the
// first one measured.
LastFailure ReadLastFailure(const WrapperExports& exports) {
    int needed = 0;
    const HRESULT status = exports.GetLastFailureW(nullptr, 0, &needed);
    if (status == S_OK || needed < 1) return {status, {}};
    std::wstring line(static_cast<std::size_t>(needed), L'\0');
    exports.GetLastFailureW(line.data(), needed, nullptr);
    line.resize(wcsnlen(line.c_str(), line.size()));
    return {status, line};
}
