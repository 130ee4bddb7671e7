// A component's registration as one registry view holds it: 64-bit
// processes see one, 32-bit processes the other (KEY_WOW64_64KEY,
// KEY_WOW64_32KEY); COM finds a class only in its process's own.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

struct ComponentRegistration {
    std::wstring classId;                        // HKCR\<ProgID>\CLSID
    std::wstring server;                         // HKCR\CLSID\{...}\InprocServer32, expanded
    std::optional<std::wstring> threadingModel;  // its ThreadingModel value, if any
};

// A text value of HKEY_CLASSES_ROOT\keyName in the view (valueName null:
// the key's default value); REG_EXPAND_SZ comes back expanded, as COM uses
// it. None when the key or the value is missing.
std::optional<std::wstring> TextValue(const std::wstring& keyName, const wchar_t* valueName,
                                      REGSAM view);

// The view flag of this process's own registry view, and of the other one.
REGSAM ThisProcessView();
REGSAM OtherView();
// A 32-bit Windows has one view only.
bool OtherViewExists();

// None when the view lacks the ProgID's CLSID or that class's InprocServer32.
std::optional<ComponentRegistration> ReadRegistration(const std::wstring& progId, REGSAM view);
