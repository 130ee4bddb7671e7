// CountCommas on bytes no valid text carries too: the runtime's multibyte
// tables follow the ANSI code page, so the same bytes count differently
// under 932 and 1252.
#include <gtest/gtest.h>

#include <windows.h>

#include "operations/count_commas.h"

TEST(CountCommas, CountsEveryCommaThatIsNotPartOfADoubleByteCharacter) {
    const bool dbcs = GetACP() == 932;
    struct Case {
        const char* text;
        int in932;
        int in1252;
    } cases[] = {
        {"", 0, 0},
        {"abc", 0, 0},
        {"a,b,c", 2, 2},
        {"\"a,b\",c", 2, 2},
        {",,", 2, 2},
        {"\x81,a,b", 1, 2},         // lead byte with 0x2C as its second byte
        {"a,\x81", 1, 1},           // lead byte last: ends the count
        {"\x81\x40,x", 1, 1},      // a full-width space, then a comma
        {"\x95\x5C,\x83\x5C", 1, 1}, // trail bytes 0x5C
        {"\xA6,\xDF,", 2, 2},        // half-width katakana are single bytes
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(CountCommas(c.text), dbcs ? c.in932 : c.in1252);
    }
}
