#include "common/component_message.h"

#include "common/component_class.h"

#include <string>

Method AboutBoxMethod(const wchar_t* name) {
    return {name, 0, [](MethodCall&) {
                const std::wstring text =
                    std::wstring(kComponentClass.name) + L"\nVersion " + kComponentClass.version;
                ShowMessage(text.c_str(), MB_ICONINFORMATION);
                return S_OK;
            }};
}

void ShowMessage(const wchar_t* text, UINT style) {
    MessageBoxW(nullptr, text, kComponentClass.name, MB_OK | style);
}
