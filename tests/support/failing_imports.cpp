#include "support/failing_imports.h"

namespace failing {

int WINAPI MultiByteToWideChar(UINT, DWORD, LPCCH, int, LPWSTR, int) {
    SetLastError(ERROR_NO_UNICODE_TRANSLATION);
    return 0;
}

int WINAPI WideCharToMultiByte(UINT, DWORD, LPCWCH, int, LPSTR, int, LPCCH, LPBOOL) {
    SetLastError(ERROR_NO_UNICODE_TRANSLATION);
    return 0;
}

BSTR WINAPI SysAllocString(const OLECHAR*) { return nullptr; }

void* __cdecl malloc(size_t size) {
    static const auto real = reinterpret_cast<void* (__cdecl*)(size_t)>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"msvcrt.dll"), "malloc")));
    return size >= kLargeBlock ? nullptr : real(size);
}

HGLOBAL WINAPI GlobalAlloc(UINT, SIZE_T) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
}

BOOL WINAPI OpenClipboard(HWND) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
}

}  // namespace failing
