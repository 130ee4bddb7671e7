#include "bridge/component_creation.h"

#ifdef _WIN64
#include "bridge/classes_key.h"

bool SetUpForSurrogate(const CLSID& classId) {
    const std::wstring name = ClassKeyName(classId);
    if (name.empty()) return false;
    const std::optional<std::wstring> appId = ClassesKey(name, KEY_WOW64_32KEY).GuidText(L"AppID");
    return appId && ClassesKey(L"AppID\\" + *appId, KEY_WOW64_32KEY).HasValue(L"DllSurrogate");
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
