// The parts-name list through each channel: Nolv_Lib_getPartsNameListRZClip
// takes its input from the clipboard and puts the list back there;
// Nolv_Lib_getPartsNameListBuf and ...BufW take it as an argument and fill
// the host's buffer. The result is the list's number of fields.
#include <cstring>
#include <string>
#include <vector>

#include "support/clipboard_holder_process.h"
#include "support/code_page_texts.h"
#include "support/component_test.h"
#include "support/host_clipboard.h"
#include "support/import_patch.h"
#include "support/text_channels.h"

namespace {

constexpr wchar_t kMethod[] = L"getNameListCSV";

class PartsNameListTest : public ComponentTest {
protected:
    void SetUp() override {
        ComponentTest::SetUp();
        ProbeDefineMethod(PROBE_NOLV, kMethod);
        ASSERT_EQ(wrapper().LoadNolvSys(), 1);
    }
};

}  // namespace

TEST_F(PartsNameListTest, PassesTextInputAndOwnCopyOfTheInteger) {
    ProbeSetIntegerOut(PROBE_NOLV, kMethod, 2, 999);
    std::size_t made = 0;
    for (const Channel channel : kChannels) {
        SCOPED_TRACE(NameOf(channel));
        const int limit = 5;
        PartsNameList(wrapper(), channel, "b", "bolt,nut,washer", limit);

        const auto calls = Invocations();
        ASSERT_EQ(calls.size(), ++made);
        const ProbeCall& call = calls.back();
        ExpectCallForm(call, true, 3);
        ASSERT_EQ(call.argCount, 3);
        EXPECT_EQ(call.args[0].vt, kIntegerByRef);
        EXPECT_EQ(call.args[0].integer, 5);
        EXPECT_EQ(call.args[1].vt, kTextByRef);
        EXPECT_EQ(TextOf(call.args[1]), L"bolt,nut,washer");
        EXPECT_EQ(call.args[2].vt, kTextByRef);
        EXPECT_EQ(TextOf(call.args[2]), L"b");
    }
}

TEST_F(PartsNameListTest, ReturnsTheNumberOfFieldsOfTheListItDelivers) {
    struct Case {
        const wchar_t* list;
        std::string delivered;
        int fields;
    } cases[] = {
        {L"bolt,nut,washer", "bolt,nut,washer", 3},
        {L"bolt", "bolt", 1},
        {L"", "", 0},
        {L"\"a,b\",c", "\"a,b\",c", 3},  // no quoting: every comma separates
        {L",", ",", 2},
        {nullptr, "", 0},
    };
    for (const Channel channel : kChannels) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(NameOf(channel)) + ": " + c.delivered);
            ScriptTextResult(PROBE_NOLV, kMethod, c.list);
            const Delivery delivery = PartsNameList(wrapper(), channel, "x", "input", 10);
            EXPECT_EQ(delivery.result, c.fields);
            EXPECT_EQ(delivery.text, c.delivered);
        }
    }
}

// No text on the clipboard, or a null input argument: a null string.
TEST_F(PartsNameListTest, NoInputTextPassesANullString) {
    SetHostClipboardBitmap();
    wrapper().getPartsNameListRZClip("x", 1);
    for (const Channel channel : kChannels) PartsNameList(wrapper(), channel, "x", std::nullopt, 1);
    const auto calls = Invocations();
    ASSERT_EQ(calls.size(), 4u);
    for (const ProbeCall& call : calls) EXPECT_TRUE(call.args[1].textIsNull);
}

TEST_F(PartsNameListTest, UnknownMethodOrUnloadedComponentGivesEmptyTextAndZero) {
    ProbeReset();
    for (const bool loaded : {true, false}) {
        if (!loaded) wrapper().FreeNolvSys();
        for (const Channel channel : kChannels) {
            SCOPED_TRACE(std::string(NameOf(channel)) + (loaded ? ", unknown method" : ", unloaded"));
            const Delivery delivery = PartsNameList(wrapper(), channel, "x", "input", 1);
            EXPECT_EQ(delivery.result, 0);
            EXPECT_EQ(delivery.text, "");
        }
    }
    EXPECT_TRUE(Invocations().empty());
}

// A list that did not fit is not counted as if it were all in the buffer.
TEST_F(PartsNameListTest, ListThatDoesNotFitCountsNoFields) {
    ScriptTextResult(PROBE_NOLV, kMethod, L"bolt,nut,washer");
    char buffer[8];
    wchar_t wide[8];
    int needed = -1;
    EXPECT_EQ(wrapper().getPartsNameListBuf("x", "in", 1, buffer, 8, &needed), 0);
    EXPECT_EQ(needed, 16);
    EXPECT_STREQ(buffer, "bolt,nu");
    EXPECT_EQ(wrapper().getPartsNameListBufW(L"x", L"in", 1, wide, 8, &needed), 0);
    EXPECT_EQ(needed, 16);
    EXPECT_EQ(wrapper().getPartsNameListBuf("x", "in", 1, nullptr, 0, &needed), 0);
    EXPECT_EQ(wrapper().getPartsNameListBuf("x", "in", 1, buffer, 16, &needed), 3);
}

// UTF-16 fields: every U+002C separates, and characters the ANSI code page
// has not (Japanese and Greek under 1252) cross both ways unchanged.
TEST_F(PartsNameListTest, UnicodeNamesRoundTripThroughTheUtf16Export) {
    const std::wstring list = L"\u8868\u793A,\u03B1\u03B2\u03B3,\uFF0C\u30BD";
    ScriptTextResult(PROBE_NOLV, kMethod, list.c_str());
    wchar_t buffer[32];
    int needed = -1;
    EXPECT_EQ(wrapper().getPartsNameListBufW(L"\u03A9", L"\u8868\u793A", 1, buffer, 32, &needed), 3);
    EXPECT_EQ(std::wstring(buffer), list);
    const auto calls = Invocations();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(TextOf(calls[0].args[1]), L"\u8868\u793A");
    EXPECT_EQ(TextOf(calls[0].args[2]), L"\u03A9");
}

// A brief hold is waited out; a list that never reached the clipboard is
// not counted from the stale text still there.
TEST_F(PartsNameListTest, ClipboardHeldByAnotherProgram) {
    ScriptTextResult(PROBE_NOLV, kMethod, L"a,b,c");
    struct Case {
        DWORD hold;
        int fields;
        const char* clipboard;
    } cases[] = {{100, 3, "a,b,c"}, {3000, 0, "x,y,z,w"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.hold);
        SetHostClipboardText("x,y,z,w");
        {
            const ClipboardHolderProcess holder(c.hold);
            EXPECT_EQ(wrapper().getPartsNameListRZClip("x", 1), c.fields);
        }
        EXPECT_EQ(HostClipboardText(), c.clipboard);
    }
}

TEST_F(PartsNameListTest, MegabyteListArrivesWholeAndIsCounted) {
    std::wstring list;
    for (int i = 0; i <= 100000; ++i) {
        if (i > 0) list += L',';
        list += std::wstring(9, static_cast<wchar_t>(L'a' + i % 26));
    }
    ScriptTextResult(PROBE_NOLV, kMethod, list.c_str());
    const std::string input(1 << 20, 'i');
    for (const Channel channel : kChannels) {
        SCOPED_TRACE(NameOf(channel));
        const Delivery delivery = PartsNameList(wrapper(), channel, "x", input, 1);
        EXPECT_EQ(delivery.result, 100001);
        EXPECT_EQ(delivery.text, std::string(list.begin(), list.end()));
        const auto calls = Invocations();
        ASSERT_FALSE(calls.empty());
        EXPECT_EQ(calls.back().args[1].textLength, 1 << 20);
    }
}

// Another program's CF_TEXT block need not hold a NUL; the library reads
// no further than the block's size. Under Wine a block is followed by a
// NUL, so the block here reports (through the library's own GlobalSize
// import) a size that ends before its NUL: only a bounded read stops there.
namespace {
SIZE_T WINAPI ThreeByteBlock(HGLOBAL) { return 3; }
}  // namespace

TEST_F(PartsNameListTest, ClipboardTextIsReadNoFurtherThanItsBlock) {
    SetHostClipboardText("a,b,c,d");
    {
        const ImportPatch patch(wrapper().module, "kernel32.dll", "GlobalSize",
                                reinterpret_cast<void*>(&ThreeByteBlock));
        wrapper().getPartsNameListRZClip("x", 1);
    }
    const auto calls = Invocations();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(TextOf(calls[0].args[1]), L"a,b");
}

// The count is of the text the host will read from the clipboard, which
// another program may have changed since the list was put there: here the
// library's read-back (its second GetClipboardData) finds other text.
namespace {
HGLOBAL otherText = nullptr;
int clipboardReads = 0;
decltype(&GetClipboardData) realGetClipboardData = nullptr;
HANDLE WINAPI OtherTextOnReadBack(UINT format) {
    return ++clipboardReads == 1 ? realGetClipboardData(format) : otherText;
}
}  // namespace

TEST_F(PartsNameListTest, CountsTheClipboardAsReadBackNotTheList) {
    ScriptTextResult(PROBE_NOLV, kMethod, L"bolt,nut,washer");
    SetHostClipboardText("input");
    otherText = GlobalAlloc(GMEM_MOVEABLE, sizeof "p,q,r,s");
    std::memcpy(GlobalLock(otherText), "p,q,r,s", sizeof "p,q,r,s");
    GlobalUnlock(otherText);
    clipboardReads = 0;
    int fields;
    {
        const ImportPatch patch(wrapper().module, "user32.dll", "GetClipboardData",
                                reinterpret_cast<void*>(&OtherTextOnReadBack));
        realGetClipboardData = reinterpret_cast<decltype(&GetClipboardData)>(patch.original());
        fields = wrapper().getPartsNameListRZClip("x", 1);
    }
    GlobalFree(otherText);
    EXPECT_EQ(clipboardReads, 2);
    EXPECT_EQ(fields, 4);
}

// Names of the running code page reach the component as the same
// characters and the list comes back on the clipboard as the code page's
// exact bytes; only real commas count, not second bytes of double-byte
// characters.
TEST_F(PartsNameListTest, CodePageNamesCrossAsTheCodePagesBytes) {
    const std::vector<CodePageText> names = CodePageTexts();
    if (names.empty()) GTEST_SKIP() << "no texts for ANSI code page " << GetACP();
    const CodePageText list = CodePageList();
    ScriptTextResult(PROBE_NOLV, kMethod, list.utf16.c_str());
    auto crossesThrough = [&](Channel channel) {
        SCOPED_TRACE(NameOf(channel));
        const Delivery delivery =
            PartsNameList(wrapper(), channel, names[1].ansi.c_str(), names[0].ansi, 1);
        EXPECT_EQ(delivery.result, static_cast<int>(names.size()));
        EXPECT_EQ(delivery.text, list.ansi);
        const auto calls = Invocations();
        ASSERT_FALSE(calls.empty());
        EXPECT_EQ(TextOf(calls.back().args[1]), names[0].utf16);
        EXPECT_EQ(TextOf(calls.back().args[2]), names[1].utf16);
    };
    for (const Channel channel : kChannels) crossesThrough(channel);
    // The buffer forms count by the code page the list was converted with,
    // whatever multibyte code page the host set for the runtime (by which
    // the clipboard form counts what it reads back).
    const HostMultibyteCodePage hostsOwn(GetACP() == 932 ? 1252 : 932);
    for (const Channel channel : {Channel::Buffer, Channel::BufferW}) crossesThrough(channel);
}
