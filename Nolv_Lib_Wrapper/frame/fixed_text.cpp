#include "frame/fixed_text.h"

FixedText& FixedText::Append(const wchar_t* text, std::size_t length) {
    for (std::size_t i = 0; i < length && text[i] != L'\0'; ++i) {
        const bool pair = IS_HIGH_SURROGATE(text[i]) && i + 1 < length && IS_LOW_SURROGATE(text[i + 1]);
        if (Room() < (pair ? 2u : 1u)) break;
        const wchar_t unit = text[i];
        Put(unit == L'\r' || unit == L'\n' || unit == L'\t' ? L' ' : unit);
        if (pair) Put(text[++i]);
    }
    Terminate();
    return *this;
}

FixedText& FixedText::Append(const wchar_t* text) {
    return text != nullptr ? Append(text, static_cast<std::size_t>(-1)) : *this;
}

FixedText& FixedText::Append(const char* text) {
    for (; text != nullptr && *text != '\0' && Room() > 0; ++text)
        Put(static_cast<wchar_t>(static_cast<unsigned char>(*text)));
    Terminate();
    return *this;
}

FixedText& FixedText::AppendDecimal(unsigned long value) {
    wchar_t digits[12];
    std::size_t count = 0;
    do {
        digits[count++] = static_cast<wchar_t>(L'0' + value % 10);
        value /= 10;
    } while (value != 0);
    wchar_t inOrder[12];
    for (std::size_t i = 0; i < count; ++i) inOrder[i] = digits[count - 1 - i];
    return Append(inOrder, count);
}

FixedText& FixedText::AppendHex(DWORD value) {
    static const wchar_t kDigits[] = L"0123456789ABCDEF";
    wchar_t text[10] = {L'0', L'x'};
    for (int i = 0; i < 8; ++i) text[2 + i] = kDigits[(value >> (28 - 4 * i)) & 0xF];
    return Append(text, 10);
}
