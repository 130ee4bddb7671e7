// A key of the classes registry in one of its two views (KEY_WOW64_32KEY:
// as 32-bit processes see it; KEY_WOW64_64KEY: as 64-bit ones do): the
// user's own registration first, then the machine's, as HKEY_CLASSES_ROOT
// merges them. Not through HKEY_CLASSES_ROOT itself: Wine opens a new root
// handle for each view-flagged open of it and never closes it, a handle a
// load.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <optional>
#include <string>

class ClassesKey {
public:
    ClassesKey(const std::wstring& name, REGSAM view) {
        const std::wstring path = L"Software\\Classes\\" + name;
        for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE})
            if (RegOpenKeyExW(root, path.c_str(), 0, KEY_QUERY_VALUE | view, &key_) ==
                ERROR_SUCCESS)
                return;
        key_ = nullptr;
    }
    ~ClassesKey() {
        if (key_ != nullptr) RegCloseKey(key_);
    }
    ClassesKey(const ClassesKey&) = delete;
    ClassesKey& operator=(const ClassesKey&) = delete;

    explicit operator bool() const { return key_ != nullptr; }

    // A REG_SZ value short enough to be a GUID; none otherwise.
    std::optional<std::wstring> GuidText(const wchar_t* valueName) const {
        wchar_t text[40] = {};
        DWORD type = 0;
        DWORD bytes = sizeof text - sizeof(wchar_t);  // leaves a terminator
        if (key_ == nullptr ||
            RegQueryValueExW(key_, valueName, nullptr, &type, reinterpret_cast<BYTE*>(text),
                             &bytes) != ERROR_SUCCESS ||
            type != REG_SZ)
            return std::nullopt;
        return std::wstring(text);
    }

    bool HasValue(const wchar_t* valueName) const {
        return key_ != nullptr &&
               RegQueryValueExW(key_, valueName, nullptr, nullptr, nullptr, nullptr) ==
                   ERROR_SUCCESS;
    }

private:
    HKEY key_ = nullptr;
};

// "CLSID\{...}", the class's key under the classes root; empty if the
// CLSID cannot be written.
inline std::wstring ClassKeyName(const CLSID& classId) {
    wchar_t classText[39];
    if (StringFromGUID2(classId, classText, ARRAYSIZE(classText)) == 0) return {};
    return std::wstring(L"CLSID\\") + classText;
}

// The class has an in-process server in that view.
inline bool RegisteredInProcess(const CLSID& classId, REGSAM view) {
    const std::wstring name = ClassKeyName(classId);
    return !name.empty() && bool(ClassesKey(name + L"\\InprocServer32", view));
}
