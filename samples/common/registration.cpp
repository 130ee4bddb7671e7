// DllRegisterServer and DllUnregisterServer, for regsvr32: the ProgID names
// the class, and the class names this very file as its in-proc server.
#include "common/component_class.h"

#include <olectl.h>

#include <string>

extern "C" IMAGE_DOS_HEADER __ImageBase;  // this module

namespace {

std::wstring ClassIdText() {
    wchar_t text[39];  // "{8-4-4-4-12}" and its terminator
    StringFromGUID2(kComponentClass.classId, text, ARRAYSIZE(text));
    return text;
}

std::wstring ClassKey() { return L"CLSID\\" + ClassIdText(); }

bool ModulePath(std::wstring& path) {
    path.assign(MAX_PATH, L'\0');
    for (;;) {
        const DWORD size = static_cast<DWORD>(path.size());
        const DWORD length =
            GetModuleFileNameW(reinterpret_cast<HMODULE>(&__ImageBase), &path[0], size);
        if (length == 0) return false;
        if (length < size) {
            path.resize(length);
            return true;
        }
        path.resize(path.size() * 2);  // truncated: try again with more room
    }
}

bool SetText(const std::wstring& key, const wchar_t* valueName, const std::wstring& text) {
    const DWORD bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    return RegSetKeyValueW(HKEY_CLASSES_ROOT, key.c_str(), valueName, REG_SZ, text.c_str(),
                           bytes) == ERROR_SUCCESS;
}

// A key that is already gone counts as removed: unregistering twice is fine.
bool RemoveKey(const std::wstring& key) {
    const LSTATUS status = RegDeleteTreeW(HKEY_CLASSES_ROOT, key.c_str());
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

// Another server may have taken the ProgID over since; its entry stays.
bool ProgIdIsOurs() {
    const std::wstring key = std::wstring(kComponentClass.progId) + L"\\CLSID";
    wchar_t text[39];
    DWORD bytes = sizeof(text);
    const LSTATUS status = RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, RRF_RT_REG_SZ,
                                        nullptr, text, &bytes);
    return status == ERROR_SUCCESS && _wcsicmp(text, ClassIdText().c_str()) == 0;
}

HRESULT Register() {
    std::wstring path;
    if (!ModulePath(path)) return SELFREG_E_CLASS;
    const std::wstring progId = kComponentClass.progId;
    const std::wstring classKey = ClassKey();
    const std::wstring serverKey = classKey + L"\\InprocServer32";
    const bool written = SetText(progId, nullptr, kComponentClass.name) &&
                         SetText(progId + L"\\CLSID", nullptr, ClassIdText()) &&
                         SetText(classKey, nullptr, kComponentClass.name) &&
                         SetText(classKey + L"\\ProgID", nullptr, progId) &&
                         SetText(serverKey, nullptr, path) &&
                         SetText(serverKey, L"ThreadingModel", L"Apartment");
    return written ? S_OK : SELFREG_E_CLASS;
}

HRESULT Unregister() {
    const bool progIdRemoved = !ProgIdIsOurs() || RemoveKey(kComponentClass.progId);
    const bool classRemoved = RemoveKey(ClassKey());
    return progIdRemoved && classRemoved ? S_OK : SELFREG_E_CLASS;
}

// regsvr32 is not C++: a failed allocation is a failed registration.
template <class Step>
HRESULT Guarded(Step step) {
    try {
        return step();
    } catch (...) {
        return SELFREG_E_CLASS;
    }
}

}  // namespace

STDAPI DllRegisterServer(void) { return Guarded(Register); }

STDAPI DllUnregisterServer(void) { return Guarded(Unregister); }
