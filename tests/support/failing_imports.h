// Failing stand-ins for the platform functions the library imports, each
// with the failure that function can really report. Every stand-in counts
// its calls in failing::reached, so a test can tell whether a failure was
// reached at all.
#pragma once

#include <windows.h>
#include <ole2.h>
#include <oleauto.h>

namespace failing {

extern int reached;

// Code-page conversions: 0 with ERROR_NO_UNICODE_TRANSLATION.
int WINAPI MultiByteToWideChar(UINT, DWORD, LPCCH, int, LPWSTR, int);
int WINAPI WideCharToMultiByte(UINT, DWORD, LPCWCH, int, LPSTR, int, LPCCH, LPBOOL);
// No memory.
BSTR WINAPI SysAllocString(const OLECHAR*);
// No memory for blocks of kLargeBlock bytes or more; smaller requests
// (the runtime's own, exception objects among them) still succeed.
inline constexpr size_t kLargeBlock = 4096;
void* __cdecl malloc(size_t);
HGLOBAL WINAPI GlobalAlloc(UINT, SIZE_T);
LPVOID WINAPI GlobalLock(HGLOBAL);
SIZE_T WINAPI GlobalSize(HGLOBAL);
BOOL WINAPI GlobalUnlock(HGLOBAL);
// Clipboard: held by another program, or refusing.
BOOL WINAPI OpenClipboard(HWND);
BOOL WINAPI EmptyClipboard();
HANDLE WINAPI SetClipboardData(UINT, HANDLE);
BOOL WINAPI IsClipboardFormatAvailable(UINT);
HANDLE WINAPI GetClipboardData(UINT);
BOOL WINAPI CloseClipboard();
// COM: no memory, or nothing registered.
HRESULT WINAPI CoInitialize(LPVOID);
HRESULT WINAPI CLSIDFromProgID(LPCOLESTR, LPCLSID);
HRESULT WINAPI CoCreateInstance(REFCLSID, LPUNKNOWN, DWORD, REFIID, LPVOID*);
HRESULT WINAPI VariantChangeType(VARIANTARG*, VARIANTARG*, USHORT, VARTYPE);
HRESULT WINAPI VariantClear(VARIANTARG*);
// Windows: no box, no active window.
int WINAPI MessageBoxA(HWND, LPCSTR, LPCSTR, UINT);
HWND WINAPI GetActiveWindow();

}  // namespace failing

// One failure to inject: which import of the library, and the stand-in.
struct InjectedFailure {
    const char* dll;
    const char* function;
    void* standIn;
};

#define INJECTED_FAILURE(dll, function) \
    InjectedFailure { dll, #function, reinterpret_cast<void*>(&failing::function) }

inline const InjectedFailure kFailingMultiByteToWideChar = INJECTED_FAILURE("kernel32.dll", MultiByteToWideChar);
inline const InjectedFailure kFailingWideCharToMultiByte = INJECTED_FAILURE("kernel32.dll", WideCharToMultiByte);
inline const InjectedFailure kFailingSysAllocString = INJECTED_FAILURE("oleaut32.dll", SysAllocString);
inline const InjectedFailure kFailingMalloc = INJECTED_FAILURE("msvcrt.dll", malloc);
inline const InjectedFailure kFailingGlobalAlloc = INJECTED_FAILURE("kernel32.dll", GlobalAlloc);
inline const InjectedFailure kFailingOpenClipboard = INJECTED_FAILURE("user32.dll", OpenClipboard);

inline constexpr HRESULT kNoUnicodeTranslation = static_cast<HRESULT>(0x80070459);
