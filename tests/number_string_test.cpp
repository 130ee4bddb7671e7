// Nolv_Lib_getNumberStrRZ: the component's number string on the clipboard,
// the host's two integers changed in place, their sum as the result.
#include <climits>
#include <string>

#include "support/clipboard_holder_process.h"
#include "support/code_page_texts.h"
#include "support/component_test.h"
#include "support/host_clipboard.h"

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
    int first = 11;
    int second = 22;
    wrapper().getNumberStrRZ("first text", "second text", &first, &second);

    const auto calls = Invocations();
    ASSERT_EQ(calls.size(), 1u);
    const ProbeCall& call = calls[0];
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

TEST_F(NumberStringTest, DeliversTheStringAndReturnsTheSumOfTheIntegersAsWritten) {
    ScriptTextResult(PROBE_NOLV, kMethod, L"NS-0003-0004");
    ProbeSetIntegerOut(PROBE_NOLV, kMethod, 2, 3);
    ProbeSetIntegerOut(PROBE_NOLV, kMethod, 3, 4);
    ProbeSetTextOut(PROBE_NOLV, kMethod, 0, L"replaced");
    int first = 100;
    int second = 200;
    EXPECT_EQ(wrapper().getNumberStrRZ("a", "b", &first, &second), 7);
    EXPECT_EQ(first, 3);
    EXPECT_EQ(second, 4);
    EXPECT_EQ(HostClipboardText(), "NS-0003-0004");
    for (UINT format : HostClipboardFormats())
        EXPECT_TRUE(format == CF_TEXT || format == CF_OEMTEXT || format == CF_UNICODETEXT ||
                    format == CF_LOCALE)
            << "format " << format << " is not text synthesised from CF_TEXT";
}

// Texts of the running code page reach the component as the same
// characters, and its answer reaches the clipboard as the code page's
// exact bytes.
TEST_F(NumberStringTest, CodePageTextsCrossBothWays) {
    const CodePageText list = CodePageList();
    if (list.ansi.empty()) GTEST_SKIP() << "no texts for ANSI code page " << GetACP();
    const CodePageText last = CodePageTexts().back();
    ScriptTextResult(PROBE_NOLV, kMethod, list.utf16.c_str());
    int first = 0;
    int second = 0;
    wrapper().getNumberStrRZ(list.ansi.c_str(), last.ansi.c_str(), &first, &second);
    EXPECT_EQ(HostClipboardText(), list.ansi);
    const auto calls = Invocations();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(TextOf(calls[0].args[2]), last.utf16);
    EXPECT_EQ(TextOf(calls[0].args[3]), list.utf16);
}

TEST_F(NumberStringTest, SumWrapsAt32Bits) {
    ProbeSetIntegerOut(PROBE_NOLV, kMethod, 2, INT_MAX);
    ProbeSetIntegerOut(PROBE_NOLV, kMethod, 3, 1);
    int first = 0;
    int second = 0;
    EXPECT_EQ(wrapper().getNumberStrRZ("a", "b", &first, &second), INT_MIN);
}

TEST_F(NumberStringTest, NullTextsArriveAsNullStrings) {
    int first = 0;
    int second = 0;
    wrapper().getNumberStrRZ(nullptr, nullptr, &first, &second);
    const auto calls = Invocations();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_TRUE(calls[0].args[2].textIsNull);
    EXPECT_TRUE(calls[0].args[3].textIsNull);
}

// Whatever the component answers, the clipboard gets text and the host
// the sum: results of other types go through the automation conversion,
// and no usable answer at all is the empty text.
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
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ProbeSetResult(PROBE_NOLV, kMethod, &c.result);
        ProbeSetInvokeStatus(PROBE_NOLV, kMethod, c.status);
        ProbeSetIntegerOut(PROBE_NOLV, kMethod, 2, 5);
        ProbeSetIntegerOut(PROBE_NOLV, kMethod, 3, 6);
        SetHostClipboardText("previous content");
        int first = 1;
        int second = 2;
        const int sum = wrapper().getNumberStrRZ("a", "b", &first, &second);
        EXPECT_EQ(sum, c.status == S_OK ? 11 : 3);
        EXPECT_EQ(HostClipboardText(), c.expected);
    }
    VariantClear(&emptyString);
}

TEST_F(NumberStringTest, UnknownMethodOrUnloadedComponentGivesEmptyTextAndZero) {
    ProbeReset();
    int first = 1;
    int second = 2;
    EXPECT_EQ(wrapper().getNumberStrRZ("a", "b", &first, &second), 0);
    EXPECT_EQ(HostClipboardText(), "");
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 2);
    EXPECT_TRUE(Invocations().empty());

    wrapper().FreeNolvSys();
    SetHostClipboardText("previous content");
    EXPECT_EQ(wrapper().getNumberStrRZ("a", "b", &first, &second), 0);
    EXPECT_EQ(HostClipboardText(), "");
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
