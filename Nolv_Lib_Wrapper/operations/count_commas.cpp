#include "operations/count_commas.h"

#include <mbctype.h>

#include "bridge/ansi_code_page.h"

namespace {
// A comma byte that is the second byte of a double-byte character is part
// of that character; a lead byte with nothing after it ends the text.
template <class IsLeadByte>
int CountSeparators(const char* text, IsLeadByte isLeadByte) {
    int commas = 0;
    const unsigned char* byte = reinterpret_cast<const unsigned char*>(text);
    while (*byte != '\0') {
        if (isLeadByte(*byte)) {
            if (byte[1] == '\0') break;
            byte += 2;
            continue;
        }
        if (*byte == ',') ++commas;
        ++byte;
    }
    return commas;
}
}  // namespace

int CountCommas(const char* text) {
    return CountSeparators(text, [](unsigned char byte) { return _ismbblead(byte) != 0; });
}

// No byte of a UTF-8 sequence is below 0x80, so under 65001, which has no
// lead bytes here, every comma byte is a comma.
int CountAnsiCommas(const char* text) { return CountSeparators(text, IsAnsiLeadByte); }

// UTF-16 has no lead bytes: no unit of another character reads as a comma.
int CountCommas(const wchar_t* text) {
    int commas = 0;
    for (; *text != L'\0'; ++text)
        if (*text == L',') ++commas;
    return commas;
}
