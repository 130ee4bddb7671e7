// What the library relies on from the two external automation components:
// their ProgIDs and the names of the methods it calls. Argument lists and
// results are laid out by the operation that calls each method.
#pragma once

#include "frame/failure_record.h"

namespace contract {

// Nolv component: number strings, parts-name lists, settings.
inline constexpr wchar_t kNolv[] = L"Nolv";  // as the failure record names it
inline constexpr wchar_t kNolvProgId[] = L"NOLV_Lib.NOLVComClass";
inline constexpr wchar_t kGetNumberStr[] = L"getNumberStr";            // (text, text, int, int) -> text
inline constexpr wchar_t kGetNameListCSV[] = L"getNameListCSV";        // (text, clipboard text, int) -> text
inline constexpr wchar_t kNolvAboutBox[] = L"AboutBox";                // ()
inline constexpr wchar_t kEditSettingData[] = L"editSettingData";      // ()
inline constexpr wchar_t kSetSettingDataFileName[] = L"setSettingDataFileName";  // (text)

// Sivat component: mode values.
inline constexpr wchar_t kSivat[] = L"Sivat";
inline constexpr wchar_t kSivatProgId[] = L"FendrelLib.SivatComClass";
inline constexpr wchar_t kGetSivatMode[] = L"getSivatMode";            // (15 spaces, int, text) -> int
inline constexpr wchar_t kSivatAbout[] = L"About";                     // ()

// What an export that calls a method of the component works on.
constexpr ExportCall NolvExport(const char* name, const wchar_t* method = nullptr) {
    return {name, kNolv, kNolvProgId, method};
}
constexpr ExportCall SivatExport(const char* name, const wchar_t* method = nullptr) {
    return {name, kSivat, kSivatProgId, method};
}

}  // namespace contract
