#include "doctor/ansi_text.h"

#include <windows.h>

std::string AnsiText(const std::wstring& text) {
    if (text.empty()) return {};
    const int length = static_cast<int>(text.size());
    std::string ansi(
        WideCharToMultiByte(CP_ACP, 0, text.data(), length, nullptr, 0, nullptr, nullptr), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), length, ansi.data(), static_cast<int>(ansi.size()),
                        nullptr, nullptr);
    return ansi;
}

std::wstring WideText(const std::string& ansi) {
    if (ansi.empty()) return {};
    const int length = static_cast<int>(ansi.size());
    std::wstring text(MultiByteToWideChar(CP_ACP, 0, ansi.data(), length, nullptr, 0), L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.data(), length, text.data(), static_cast<int>(text.size()));
    return text;
}
