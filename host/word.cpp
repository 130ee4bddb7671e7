#include "word.h"

#include "output_format.h"
#include "wide_text.h"

std::string Spelling(const Word& word) {
    if (const std::wstring* wide = std::get_if<std::wstring>(&word)) return Utf8(*wide);
    return std::get<std::string>(word);
}

std::string AnsiTextOf(const Word& word) {
    if (const std::wstring* wide = std::get_if<std::wstring>(&word))
        return BytesFromWide(*wide, CP_ACP);
    return std::get<std::string>(word);
}

std::wstring WideTextOf(const Word& word) {
    if (const std::wstring* wide = std::get_if<std::wstring>(&word)) return *wide;
    return WideFromBytes(std::get<std::string>(word), CP_UTF8);
}

std::string QuotedWord(const Word& word) {
    if (const std::wstring* wide = std::get_if<std::wstring>(&word)) return QuoteWide(*wide);
    return QuoteAnsi(std::get<std::string>(word), CP_ACP);
}
