#include "bridge/component_creation.h"

#ifdef _WIN64
#include <optional>
#include <string>

namespace {

// A key of the classes registry as 32-bit processes see it: the user's
// own registration first, then the machine's, as HKEY_CLASSES_ROOT merges
// them. Not through HKEY_CLASSES_ROOT itself: Wine opens a new root handle
// for each view-flagged open of it and never closes it, a handle a load.
class ClassesKey {
public:
    explicit ClassesKey(const std::wstring& name) {
        const std::wstring path = L"Software\\Classes\\" + name;
        for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE})
            if (RegOpenKeyExW(root, path.c_str(), 0, KEY_QUERY_VALUE | KEY_WOW64_32KEY, &key_) ==
                ERROR_SUCCESS)
                return;
        key_ = nullptr;
    }
    ~ClassesKey() {
        if (key_ != nullptr) RegCloseKey(key_);
    }
    ClassesKey(const ClassesKey&) = delete;
    ClassesKey& operator=(const ClassesKey&) = delete;

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

}  // namespace

bool SetUpForSurrogate(const CLSID& classId) {
    wchar_t classText[39];
    if (StringFromGUID2(classId, classText, ARRAYSIZE(classText)) == 0) return false;
    const std::optional<std::wstring> appId =
        ClassesKey(std::wstring(L"CLSID\\") + classText).GuidText(L"AppID");
    return appId && ClassesKey(L"AppID\\" + *appId).HasValue(L"DllSurrogate");
}
#endif

HRESULT CreateComponentObject(const CLSID& classId, IUnknown** object) {
    HRESULT result = CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                      reinterpret_cast<void**>(object));
#ifdef _WIN64
    // Not registered for 64-bit processes: a 32-bit-only component, which a
    // surrogate can host when it is set up for one. Without that setup COM
    // would also start a 32-bit local server registered for the class,
    // which the host never asked for.
    if (result == REGDB_E_CLASSNOTREG && SetUpForSurrogate(classId))
        result = CoCreateInstance(classId, nullptr,
                                  CLSCTX_LOCAL_SERVER | CLSCTX_ACTIVATE_32_BIT_SERVER,
                                  IID_IUnknown, reinterpret_cast<void**>(object));
#endif
    return result;
}
