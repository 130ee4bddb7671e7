#include "support/code_page_texts.h"

#include <windows.h>
#include <mbctype.h>

#include <gtest/gtest.h>

HostMultibyteCodePage::HostMultibyteCodePage(int codePage) { EXPECT_EQ(_setmbcp(codePage), 0); }

HostMultibyteCodePage::~HostMultibyteCodePage() { _setmbcp(_MB_CP_ANSI); }

std::vector<CodePageText> CodePageTexts() {
    switch (GetACP()) {
    case 1252:
        return {{"caf\xE9", L"caf\u00E9"}, {"\x80\x9F\xFF", L"\u20AC\u0178\u00FF"}};
    case 1251:  // Cyrillic letters where 1252 has Latin ones
        return {{"\xCF\xF0\xE8\xE2\xE5\xF2", L"\u041F\u0440\u0438\u0432\u0435\u0442"},
                {"\xA8\xB8\x80\x88", L"\u0401\u0451\u0402\u20AC"}};
    case 932:
        return {{"\x95\x5C\x8E\xA6", L"\u8868\u793A"},
                {"\x83\x5C\x83\x74\x83\x67", L"\u30BD\u30D5\u30C8"},
                {"\x94\x5C\x97\xCD abc", L"\u80FD\u529B abc"},
                {"\x81\x40\x83\x40\x83\x7E", L"\u3000\u30A1\u30DF"}};
    case 936:
        return {{"\x81\x40\x81\x5C\x81\x7E", L"\u4E02\u4E57\u4E8A"},
                {"\xB0\x5C\xC4\x40", L"\u7668\u8140"},
                {"\xD7\x7E abc \xD6\xD0\xCE\xC4", L"\u8B86 abc \u4E2D\u6587"}};
    case 949:  // no character has a second byte of 0x5C
        return {{"\x81\x41\x81\x5A", L"\uAC02\uAC34"},
                {"\x81\x61\x81\x7A", L"\uAC35\uAC55"},
                {"\xC7\xD1\xB1\xDB abc", L"\uD55C\uAE00 abc"}};
    case 950:
        return {{"\xA5\x5C\xB3\x5C", L"\u529F\u8A31"},
                {"\xA4\x40\xA4\x7E", L"\u4E00\u624D"},
                {"\xA6\x72\xA6\x5C abc", L"\u5B57\u5412 abc"}};
    case CP_UTF8:  // every script at once, and a character beyond the BMP
        return {{"caf\xC3\xA9", L"caf\u00E9"},
                {"\xCE\xA9\xCE\xBC\xCE\xAD\xCE\xB3\xCE\xB1", L"\u03A9\u03BC\u03AD\u03B3\u03B1"},
                {"\xE8\xA1\xA8\xE7\xA4\xBA abc", L"\u8868\u793A abc"},
                {"\xF0\x9F\x93\x84", L"\U0001F4C4"}};
    default:
        return {};
    }
}

CodePageText CodePageList() {
    CodePageText list;
    for (const CodePageText& text : CodePageTexts()) {
        if (!list.ansi.empty()) {
            list.ansi += ',';
            list.utf16 += L',';
        }
        list.ansi += text.ansi;
        list.utf16 += text.utf16;
    }
    return list;
}
