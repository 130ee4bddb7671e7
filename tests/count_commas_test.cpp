// CountCommas on bytes no valid text carries too: the runtime's multibyte
// tables follow the ANSI code page, so the same bytes count differently
// under 932, under the other double-byte code pages (936, 949, 950: lead
// bytes 0x81 to 0xFE) and under the single-byte ones.
#include <gtest/gtest.h>

#include <windows.h>

#include "operations/count_commas.h"

TEST(CountCommas, CountsEveryCommaThatIsNotPartOfADoubleByteCharacter) {
    const UINT codePage = GetACP();
    CPINFO info;
    ASSERT_TRUE(GetCPInfo(CP_ACP, &info));
    const bool doubleByte = info.MaxCharSize == 2;
    struct Case {
        const char* text;
        int in932;
        int inOtherDoubleByte;
        int inSingleByte;
    } cases[] = {
        {"", 0, 0, 0},
        {"abc", 0, 0, 0},
        {"a,b,c", 2, 2, 2},
        {"\"a,b\",c", 2, 2, 2},
        {",,", 2, 2, 2},
        {"\x81,a,b", 1, 1, 2},           // lead byte with 0x2C as its second byte
        {"a,\x81", 1, 1, 1},             // lead byte last: ends the count
        {"\x81\x40,x", 1, 1, 1},         // a double-byte character, then a comma
        {"\x95\x5C,\x83\x5C", 1, 1, 1}, // second bytes 0x5C
        {"\xA6,\xDF,", 2, 0, 2},         // single bytes in 932 (half-width katakana)
        {"\xFE,\x7E,", 2, 1, 2},         // 0xFE leads outside 932
        {"\xC7\x7E,\xE0\x2C,", 2, 2, 3},  // 0xE0 leads in every double-byte page
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(CountCommas(c.text),
                  codePage == 932 ? c.in932 : doubleByte ? c.inOtherDoubleByte : c.inSingleByte);
    }
}
