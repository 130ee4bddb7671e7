#include "operations/count_commas.h"

#include <mbctype.h>

// A comma byte that is the second byte of a double-byte character is part
// of that character; a lead byte with nothing after it ends the text.
int CountCommas(const char* text) {
    int commas = 0;
    const unsigned char* byte = reinterpret_cast<const unsigned char*>(text);
    while (*byte != '\0') {
        if (_ismbblead(*byte)) {
            if (byte[1] == '\0') break;
            byte += 2;
            continue;
        }
        if (*byte == ',') ++commas;
        ++byte;
    }
    return commas;
}

// UTF-16 has no lead bytes: no unit of another character reads as a comma.
int CountCommas(const wchar_t* text) {
    int commas = 0;
    for (; *text != L'\0'; ++text)
        if (*text == L',') ++commas;
    return commas;
}
