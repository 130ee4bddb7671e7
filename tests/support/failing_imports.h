// Failing stand-ins for the platform functions the library imports, with
// the failure each can really report.
#pragma once

#include <windows.h>
#include <oleauto.h>

namespace failing {

// Fails with ERROR_NO_UNICODE_TRANSLATION (HRESULT 0x80070459).
int WINAPI MultiByteToWideChar(UINT, DWORD, LPCCH, int, LPWSTR, int);
int WINAPI WideCharToMultiByte(UINT, DWORD, LPCWCH, int, LPSTR, int, LPCCH, LPBOOL);
// No memory.
BSTR WINAPI SysAllocString(const OLECHAR*);
// No memory for blocks of kLargeBlock bytes or more; smaller requests
// (the runtime's own, exception objects among them) still succeed.
inline constexpr size_t kLargeBlock = 4096;
void* __cdecl malloc(size_t);
HGLOBAL WINAPI GlobalAlloc(UINT, SIZE_T);
// Held by another program: ERROR_ACCESS_DENIED.
BOOL WINAPI OpenClipboard(HWND);

}  // namespace failing

// One failure to inject: which import of the library, and the stand-in.
struct InjectedFailure {
    const char* dll;
    const char* function;
    void* standIn;
};

inline const InjectedFailure kFailingMultiByteToWideChar = {
    "kernel32.dll", "MultiByteToWideChar", reinterpret_cast<void*>(&failing::MultiByteToWideChar)};
inline const InjectedFailure kFailingWideCharToMultiByte = {
    "kernel32.dll", "WideCharToMultiByte", reinterpret_cast<void*>(&failing::WideCharToMultiByte)};
inline const InjectedFailure kFailingSysAllocString = {
    "oleaut32.dll", "SysAllocString", reinterpret_cast<void*>(&failing::SysAllocString)};
inline const InjectedFailure kFailingMalloc = {
    "msvcrt.dll", "malloc", reinterpret_cast<void*>(&failing::malloc)};
inline const InjectedFailure kFailingGlobalAlloc = {
    "kernel32.dll", "GlobalAlloc", reinterpret_cast<void*>(&failing::GlobalAlloc)};
inline const InjectedFailure kFailingOpenClipboard = {
    "user32.dll", "OpenClipboard", reinterpret_cast<void*>(&failing::OpenClipboard)};

inline constexpr HRESULT kNoUnicodeTranslation = static_cast<HRESULT>(0x80070459);
