// Text between UTF-16 and the bytes of a code page (the ANSI one, CP_ACP,
// or UTF-8): what a host holding UTF-16 text passes to the W functions and
// reads back, and what nolvhost prints. nolvhost and the tests share it.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

std::wstring WideFromBytes(const std::string& text, UINT codePage);
std::string BytesFromWide(const std::wstring& text, UINT codePage);

// nolvhost's output and its doctor's are UTF-8 throughout.
inline std::string Utf8(const std::wstring& text) { return BytesFromWide(text, CP_UTF8); }

// A text argument in UTF-16, kept alive for a call: null stays null.
class WideArgument {
public:
    WideArgument(const char* text, UINT codePage)
        : text_(text ? std::optional<std::wstring>(WideFromBytes(text, codePage)) : std::nullopt) {}
    const wchar_t* get() const { return text_ ? text_->c_str() : nullptr; }

private:
    std::optional<std::wstring> text_;
};
