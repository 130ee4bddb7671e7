#include "doctor/component_registration.h"

#include "doctor/image_machine.h"

std::optional<std::wstring> TextValue(const std::wstring& keyName, const wchar_t* valueName,
                                      REGSAM view) {
    HKEY key;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, keyName.c_str(), 0, KEY_QUERY_VALUE | view, &key) !=
        ERROR_SUCCESS)
        return std::nullopt;
    std::wstring text;
    DWORD bytes = 0;
    LSTATUS status = RegGetValueW(key, nullptr, valueName, RRF_RT_REG_SZ, nullptr, nullptr, &bytes);
    if (status == ERROR_SUCCESS) {
        text.resize(bytes / sizeof(wchar_t));
        status = RegGetValueW(key, nullptr, valueName, RRF_RT_REG_SZ, nullptr, text.data(), &bytes);
        text.resize(status == ERROR_SUCCESS ? wcsnlen(text.c_str(), text.size()) : 0);
    }
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) return std::nullopt;
    return text;
}

REGSAM ThisProcessView() { return ProcessBits() == 64 ? KEY_WOW64_64KEY : KEY_WOW64_32KEY; }

REGSAM OtherView() { return ProcessBits() == 64 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY; }

bool OtherViewExists() {
    BOOL underWow64 = FALSE;
    return ProcessBits() == 64 || (IsWow64Process(GetCurrentProcess(), &underWow64) && underWow64);
}

std::optional<ComponentRegistration> ReadRegistration(const std::wstring& progId, REGSAM view) {
    // ProgIDs are shared by both views (Wine keeps them in the 64-bit part
    // only); classes are not.
    std::optional<std::wstring> classId = TextValue(progId + L"\\CLSID", nullptr, view);
    if (!classId) classId = TextValue(progId + L"\\CLSID", nullptr, KEY_WOW64_64KEY);
    if (!classId || classId->empty()) return std::nullopt;
    const std::wstring serverKey = L"CLSID\\" + *classId + L"\\InprocServer32";
    const std::optional<std::wstring> server = TextValue(serverKey, nullptr, view);
    if (!server) return std::nullopt;
    return ComponentRegistration{*classId, *server, TextValue(serverKey, L"ThreadingModel", view)};
}
