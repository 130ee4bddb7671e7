#include "support/failing_imports.h"

namespace failing {

int reached = 0;

namespace {
template <class Result>
Result Failing(Result failure, DWORD error = ERROR_SUCCESS) {
    ++reached;
    if (error != ERROR_SUCCESS) SetLastError(error);
    return failure;
}
}  // namespace

int WINAPI MultiByteToWideChar(UINT, DWORD, LPCCH, int, LPWSTR, int) {
    return Failing(0, ERROR_NO_UNICODE_TRANSLATION);
}
int WINAPI WideCharToMultiByte(UINT, DWORD, LPCWCH, int, LPSTR, int, LPCCH, LPBOOL) {
    return Failing(0, ERROR_NO_UNICODE_TRANSLATION);
}
BSTR WINAPI SysAllocString(const OLECHAR*) { return Failing<BSTR>(nullptr); }

void* __cdecl malloc(size_t size) {
    static const auto real = reinterpret_cast<void* (__cdecl*)(size_t)>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"msvcrt.dll"), "malloc")));
    return size >= kLargeBlock ? Failing<void*>(nullptr) : real(size);
}

HGLOBAL WINAPI GlobalAlloc(UINT, SIZE_T) { return Failing<HGLOBAL>(nullptr, ERROR_NOT_ENOUGH_MEMORY); }
LPVOID WINAPI GlobalLock(HGLOBAL) { return Failing<LPVOID>(nullptr, ERROR_INVALID_HANDLE); }
SIZE_T WINAPI GlobalSize(HGLOBAL) { return Failing<SIZE_T>(0, ERROR_INVALID_HANDLE); }
BOOL WINAPI GlobalUnlock(HGLOBAL) { return Failing(FALSE, ERROR_NOT_LOCKED); }

BOOL WINAPI OpenClipboard(HWND) { return Failing(FALSE, ERROR_ACCESS_DENIED); }
BOOL WINAPI EmptyClipboard() { return Failing(FALSE, ERROR_CLIPBOARD_NOT_OPEN); }
HANDLE WINAPI SetClipboardData(UINT, HANDLE) { return Failing<HANDLE>(nullptr, ERROR_CLIPBOARD_NOT_OPEN); }
BOOL WINAPI IsClipboardFormatAvailable(UINT) { return Failing(FALSE); }
HANDLE WINAPI GetClipboardData(UINT) { return Failing<HANDLE>(nullptr, ERROR_CLIPBOARD_NOT_OPEN); }
BOOL WINAPI CloseClipboard() { return Failing(FALSE, ERROR_CLIPBOARD_NOT_OPEN); }

HRESULT WINAPI CoInitialize(LPVOID) { return Failing(E_OUTOFMEMORY); }
HRESULT WINAPI CLSIDFromProgID(LPCOLESTR, LPCLSID) { return Failing(REGDB_E_CLASSNOTREG); }
HRESULT WINAPI CoCreateInstance(REFCLSID, LPUNKNOWN, DWORD, REFIID, LPVOID* object) {
    if (object != nullptr) *object = nullptr;
    return Failing(E_OUTOFMEMORY);
}
HRESULT WINAPI VariantChangeType(VARIANTARG*, VARIANTARG*, USHORT, VARTYPE) {
    return Failing(DISP_E_TYPEMISMATCH);
}
HRESULT WINAPI VariantClear(VARIANTARG*) { return Failing(DISP_E_BADVARTYPE); }

int WINAPI MessageBoxA(HWND, LPCSTR, LPCSTR, UINT) { return Failing(0, ERROR_NOT_ENOUGH_MEMORY); }
HWND WINAPI GetActiveWindow() { return Failing<HWND>(nullptr); }

}  // namespace failing
