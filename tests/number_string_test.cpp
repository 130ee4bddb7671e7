// The number string through each channel: Nolv_Lib_getNumberStrRZ on the
// clipboard, Nolv_Lib_getNumberStrBuf and ...BufW into the host's buffer.
// The component's string is delivered, the host's two integers changed in
// place, and their sum is the result.
#include <climits>
#include <string>
#include <vector>

#include "support/clipboard_holder_process.h"
#include "support/code_page_texts.h"
#include "support/component_test.h"
#include "support/host_clipboard.h"
#include "support/text_channels.h"

namespace {

constexpr wchar_t kMethod[] = L"getNumberStr";

class NumberStringTest : public ComponentTest {
protected:
    void SetUp() override {
        ComponentTest::SetUp();
        ProbeDefineMethod(PROBE_NOLV, kMethod);
        SetHostClipboardText("previous content");
        ASSERT_EQ(wrapper().LoadNolvSys(), 1);
    }
};

}  // namespace

TEST_F(NumberStringTest, PassesTextsAndTheHostsOwnIntegersByReferenceInDeclaredOrder) {
    std::size_t made = 0;
    for (const Channel channel : kChannels) {
        SCOPED_TRACE(NameOf(channel));
        int first = 11;
        int second = 22;
        NumberString(wrapper(), channel, "first text", "second text", &first, &second);

        const auto calls = Invocations();
        ASSERT_EQ(calls.size(), ++made);
        const ProbeCall& call = calls.back();
        ExpectCallForm(call, true, 4);
        ASSERT_EQ(call.argCount, 4);
        EXPECT_EQ(call.args[0].vt, kIntegerByRef);
        EXPECT_EQ(call.args[0].pointer, &second);
        EXPECT_EQ(call.args[0].integer, 22);
        EXPECT_EQ(call.args[1].vt, kIntegerByRef);
        EXPECT_EQ(call.args[1].pointer, &first);
        EXPECT_EQ(call.args[1].integer, 11);
        EXPECT_EQ(call.args[2].vt, kTextByRef);
        EXPECT_EQ(TextOf(call.args[2]), L"second text");
        EXPECT_EQ(call.args[3].vt, kTextByRef);
        EXPECT_EQ(TextOf(call.args[3]), L"first text");
    }
}

TEST_F(NumberStringTest, DeliversTheStringAndReturnsTheSumOfTheIntegersAsWritten) {
    ScriptTextResult(PROBE_NOLV, kMethod, L"NS-0003-0004");
    ProbeSetIntegerOut(PROBE_NOLV, kMethod, 2, 3);
    ProbeSetIntegerOut(PROBE_NOLV, kMethod, 3, 4);
    ProbeSetTextOut(PROBE_NOLV, kMethod, 0, L"replaced");
    for (const Channel channel : kChannels) {
        SCOPED_TRACE(NameOf(channel));
        int first = 100;
        int second = 200;
        const Delivery delivery = NumberString(wrapper(), channel, "a", "b", &first, &second);
        EXPECT_EQ(delivery.result, 7);
        EXPECT_EQ(first, 3);
        EXPECT_EQ(second, 4);
        EXPECT_EQ(delivery.text, "NS-0003-0004");
    }
    int first = 0;
    int second = 0;
    wrapper().getNumberStrRZ("a", "b", &first, &second);
    for (UINT format : HostClipboardFormats())
        EXPECT_TRUE(format == CF_TEXT || format == CF_OEMTEXT || format == CF_UNICODETEXT ||
                    format == CF_LOCALE)
            << "format " << format << " is not text synthesised from CF_TEXT";
}

// Texts of the running code page reach the component as the same
// characters, and its answer reaches the host as the code page's exact
// bytes (the UTF-16 channel: as the same characters).
TEST_F(NumberStringTest, CodePageTextsCrossBothWays) {
    const CodePageText list = CodePageList();
    if (list.ansi.empty()) GTEST_SKIP() << "no texts for ANSI code page " << GetACP();
    const CodePageText last = CodePageTexts().back();
    ScriptTextResult(PROBE_NOLV, kMethod, list.utf16.c_str());
    for (const Channel channel : kChannels) {
        SCOPED_TRACE(NameOf(channel));
        int first = 0;
        int second = 0;
        EXPECT_EQ(NumberString(wrapper(), channel, list.ansi.c_str(), last.ansi.c_str(), &first,
                               &second).text,
                  list.ansi);
        const auto calls = Invocations();
        ASSERT_FALSE(calls.empty());
        EXPECT_EQ(TextOf(calls.back().args[2]), last.utf16);
        EXPECT_EQ(TextOf(calls.back().args[3]), list.utf16);
    }
}

TEST_F(NumberStringTest, SumWrapsAt32Bits) {
    ProbeSetIntegerOut(PROBE_NOLV, kMethod, 2, INT_MAX);
    ProbeSetIntegerOut(PROBE_NOLV, kMethod, 3, 1);
    for (const Channel channel : kChannels) {
        SCOPED_TRACE(NameOf(channel));
        int first = 0;
        int second = 0;
        EXPECT_EQ(NumberString(wrapper(), channel, "a", "b", &first, &second).result, INT_MIN);
    }
}

TEST_F(NumberStringTest, NullTextsArriveAsNullStrings) {
    for (const Channel channel : kChannels) {
        SCOPED_TRACE(NameOf(channel));
        int first = 0;
        int second = 0;
        NumberString(wrapper(), channel, nullptr, nullptr, &first, &second);
        const auto calls = Invocations();
        ASSERT_FALSE(calls.empty());
        EXPECT_TRUE(calls.back().args[2].textIsNull);
        EXPECT_TRUE(calls.back().args[3].textIsNull);
    }
}

// Whatever the component answers, the host gets text and the sum: results
// of other types go through the automation conversion, and no usable
// answer at all is the empty text.
TEST_F(NumberStringTest, ResultsOfEveryKindBecomeTextOrTheEmptyText) {
    struct Case {
        const char* what;
        VARIANT result;
        HRESULT status;
        std::string expected;
    };
    VARIANT integer{};
    V_VT(&integer) = VT_I4;
    V_I4(&integer) = 1234;
    VARIANT nullString{};
    V_VT(&nullString) = VT_BSTR;
    VARIANT emptyString{};
    V_VT(&emptyString) = VT_BSTR;
    V_BSTR(&emptyString) = SysAllocString(L"");
    VARIANT none{};
    VARIANT null{};
    V_VT(&null) = VT_NULL;
    VARIANT object{};
    V_VT(&object) = VT_DISPATCH;
    const Case cases[] = {
        {"integer", integer, S_OK, "1234"},
        {"null string", nullString, S_OK, ""},
        {"empty string", emptyString, S_OK, ""},
        {"no result", none, S_OK, ""},
        {"VT_NULL", null, S_OK, ""},
        {"null object", object, S_OK, ""},
        {"failed invocation", integer, DISP_E_EXCEPTION, ""},
    };
    for (const Channel channel : kChannels) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(NameOf(channel)) + ", " + c.what);
            ProbeSetResult(PROBE_NOLV, kMethod, &c.result);
            ProbeSetInvokeStatus(PROBE_NOLV, kMethod, c.status);
            ProbeSetIntegerOut(PROBE_NOLV, kMethod, 2, 5);
            ProbeSetIntegerOut(PROBE_NOLV, kMethod, 3, 6);
            SetHostClipboardText("previous content");
            int first = 1;
            int second = 2;
            const Delivery delivery = NumberString(wrapper(), channel, "a", "b", &first, &second);
            EXPECT_EQ(delivery.result, c.status == S_OK ? 11 : 3);
            EXPECT_EQ(delivery.text, c.expected);
        }
    }
    VariantClear(&emptyString);
}

TEST_F(NumberStringTest, UnknownMethodOrUnloadedComponentGivesEmptyTextAndZero) {
    ProbeReset();
    for (const bool loaded : {true, false}) {
        if (!loaded) wrapper().FreeNolvSys();
        for (const Channel channel : kChannels) {
            SCOPED_TRACE(std::string(NameOf(channel)) + (loaded ? ", unknown method" : ", unloaded"));
            SetHostClipboardText("previous content");
            int first = 1;
            int second = 2;
            const Delivery delivery = NumberString(wrapper(), channel, "a", "b", &first, &second);
            EXPECT_EQ(delivery.result, 0);
            EXPECT_EQ(delivery.text, "");
            EXPECT_EQ(first, 1);
            EXPECT_EQ(second, 2);
        }
    }
    EXPECT_TRUE(Invocations().empty());
}

// Another program holding the clipboard: a brief hold is waited out; a
// long one is given up within a second, leaving the clipboard as it was.
// The sum is returned either way.
TEST_F(NumberStringTest, ClipboardHeldByAnotherProgram) {
    ScriptTextResult(PROBE_NOLV, kMethod, L"NS-0003-0004");
    ProbeSetIntegerOut(PROBE_NOLV, kMethod, 2, 3);
    ProbeSetIntegerOut(PROBE_NOLV, kMethod, 3, 4);
    struct Case {
        DWORD hold;
        const char* clipboard;
    } cases[] = {{100, "NS-0003-0004"}, {3000, "previous content"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.hold);
        SetHostClipboardText("previous content");
        int first = 0;
        int second = 0;
        {
            const ClipboardHolderProcess holder(c.hold);
            const DWORD start = GetTickCount();
            EXPECT_EQ(wrapper().getNumberStrRZ("a", "b", &first, &second), 7);
            EXPECT_LE(GetTickCount() - start, 1000u);
        }
        EXPECT_EQ(HostClipboardText(), c.clipboard);
    }
}

// A buffer too small for the text gets the longest run of whole characters
// that leaves room for the NUL (never part of a double-byte character or
// of a UTF-8 sequence, never half a surrogate pair), the size the whole
// text takes is reported, and nothing is written past the size given; size
// 0 writes nothing. The host's own multibyte code page (_setmbcp) has no
// say in it: the text is in the ANSI code page.
TEST_F(NumberStringTest, SmallerBuffersGetWholeCharactersAndTheSizeNeeded) {
    const CodePageText list = CodePageList();
    const std::string ansi = list.ansi.empty() ? "NS-0003-0004" : list.ansi;
    const std::wstring wide = WideFromBytes(ansi, CP_ACP);
    ScriptTextResult(PROBE_NOLV, kMethod, wide.c_str());
    // The whole characters of the text, each as the code page's bytes.
    std::vector<std::string> characters;
    for (std::size_t at = 0; at < wide.size();) {
        const std::size_t units = IS_HIGH_SURROGATE(wide[at]) ? 2 : 1;
        characters.push_back(BytesFromWide(wide.substr(at, units), CP_ACP));
        at += units;
    }
    const int needed = static_cast<int>(ansi.size()) + 1;
    const HostMultibyteCodePage hostsOwn(GetACP() == 1252 ? 932 : 1252);
    for (int size = 0; size <= needed; ++size) {
        SCOPED_TRACE(size);
        std::string expected;
        for (const std::string& character : characters) {
            if (static_cast<int>(expected.size() + character.size()) > size - 1) break;
            expected += character;
        }
        std::string buffer(needed + 1, '#');
        int reported = -1;
        int first = 1;
        int second = 2;
        EXPECT_EQ(wrapper().getNumberStrBuf("a", "b", &first, &second, buffer.data(), size,
                                            &reported),
                  3);
        EXPECT_EQ(reported, needed);
        EXPECT_EQ(buffer.substr(size), std::string(needed + 1 - size, '#')) << "written past the size";
        if (size > 0) {
            EXPECT_EQ(std::string(buffer.c_str()), expected);
        }
    }
    int reported = -1;
    int first = 0;
    int second = 0;
    wrapper().getNumberStrBuf("a", "b", &first, &second, nullptr, 100, &reported);
    EXPECT_EQ(reported, needed) << "a null buffer only reports the size";

    const std::wstring pair = L"ab\U0001F600";  // a character beyond the BMP: a surrogate pair
    ScriptTextResult(PROBE_NOLV, kMethod, pair.c_str());
    for (const auto& [size, cut] : {std::pair{3, L"ab"}, std::pair{4, L"ab"}, std::pair{5, pair.c_str()}}) {
        SCOPED_TRACE(size);
        std::wstring buffer(8, L'#');
        wrapper().getNumberStrBufW(L"a", L"b", &first, &second, buffer.data(), size, &reported);
        EXPECT_EQ(std::wstring(buffer.c_str()), cut);
        EXPECT_EQ(reported, 5);
    }
}
