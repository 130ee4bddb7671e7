// Sivat_Lib_GetSivatMode: the Sivat component's mode value for a text.
#include "support/code_page_texts.h"
#include "support/component_test.h"
#include "support/failing_imports.h"
#include "support/import_patch.h"

namespace {

constexpr wchar_t kMethod[] = L"getSivatMode";

class ModeQueryTest : public ComponentTest {
protected:
    void SetUp() override {
        ComponentTest::SetUp();
        ProbeDefineMethod(PROBE_SIVAT, kMethod);
        ASSERT_EQ(wrapper().LoadSivatSys(), 1);
    }
};

}  // namespace

TEST_F(ModeQueryTest, PassesFifteenSpacesAZeroIntegerAndTheHostTextByReference) {
    ScriptIntegerResult(PROBE_SIVAT, kMethod, 2);
    EXPECT_EQ(wrapper().GetSivatMode("host text"), 2);

    const auto calls = Invocations();
    ASSERT_EQ(calls.size(), 1u);
    const ProbeCall& call = calls[0];
    EXPECT_EQ(call.component, PROBE_SIVAT);
    ExpectCallForm(call, true, 3);
    ASSERT_EQ(call.argCount, 3);
    EXPECT_EQ(call.args[0].vt, kTextByRef);
    EXPECT_EQ(TextOf(call.args[0]), L"host text");
    EXPECT_EQ(call.args[1].vt, kIntegerByRef);
    EXPECT_EQ(call.args[1].integer, 0);
    EXPECT_EQ(call.args[2].vt, kTextByRef);
    EXPECT_EQ(TextOf(call.args[2]), std::wstring(15, L' '));
}

TEST_F(ModeQueryTest, CodePageTextArrivesAsTheSameCharacters) {
    const CodePageText text = CodePageList();
    if (text.ansi.empty()) GTEST_SKIP() << "no texts for ANSI code page " << GetACP();
    ScriptIntegerResult(PROBE_SIVAT, kMethod, 3);
    EXPECT_EQ(wrapper().GetSivatMode(text.ansi.c_str()), 3);
    const auto calls = Invocations();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(TextOf(calls[0].args[0]), text.utf16);
}

TEST_F(ModeQueryTest, WhatTheComponentWritesBackDoesNotChangeTheMode) {
    ScriptIntegerResult(PROBE_SIVAT, kMethod, 2);
    ProbeSetTextOut(PROBE_SIVAT, kMethod, 0, L"rewritten spaces");
    ProbeSetIntegerOut(PROBE_SIVAT, kMethod, 1, 77);
    ProbeSetTextOut(PROBE_SIVAT, kMethod, 2, nullptr);
    EXPECT_EQ(wrapper().GetSivatMode("host text"), 2);
}

TEST_F(ModeQueryTest, NullTextArrivesAsNullStringInTheLastParameter) {
    wrapper().GetSivatMode(nullptr);
    const auto calls = Invocations();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_TRUE(calls[0].args[0].textIsNull);
    EXPECT_FALSE(calls[0].args[2].textIsNull);
}

// Answers of other types go through the automation conversion; no answer,
// or one that is no number, is -1.
TEST_F(ModeQueryTest, ResultsOfEveryKindBecomeAnIntegerOrMinusOne) {
    struct Case {
        const char* what;
        VARTYPE type;
        const wchar_t* text;
        double real;
        HRESULT status;
        int expected;
    } cases[] = {
        {"numeric text", VT_BSTR, L"5", 0, S_OK, 5},
        {"double", VT_R8, nullptr, 4.0, S_OK, 4},
        {"no result", VT_EMPTY, nullptr, 0, S_OK, -1},
        {"text that is no number", VT_BSTR, L"mode", 0, S_OK, -1},
        {"VT_NULL", VT_NULL, nullptr, 0, S_OK, -1},
        {"failed invocation", VT_BSTR, L"5", 0, DISP_E_EXCEPTION, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        VARIANT result;
        VariantInit(&result);
        V_VT(&result) = c.type;
        if (c.type == VT_BSTR) V_BSTR(&result) = SysAllocString(c.text);
        if (c.type == VT_R8) V_R8(&result) = c.real;
        ProbeSetResult(PROBE_SIVAT, kMethod, &result);
        ProbeSetInvokeStatus(PROBE_SIVAT, kMethod, c.status);
        VariantClear(&result);
        EXPECT_EQ(wrapper().GetSivatMode("t"), c.expected);
    }
}

TEST_F(ModeQueryTest, UnknownMethodOrUnloadedComponentGivesMinusThree) {
    ProbeReset();
    EXPECT_EQ(wrapper().GetSivatMode("t"), -3);
    EXPECT_EQ(Lookups().size(), 1u);
    EXPECT_TRUE(Invocations().empty());
    wrapper().FreeNolvSys();
    EXPECT_EQ(wrapper().GetSivatMode("t"), -3);
}

// The name is looked up before the texts are converted; a failed
// conversion is contained and gives -1, resolved name or not.
TEST_F(ModeQueryTest, FailedConversionGivesMinusOneAfterTheLookup) {
    ScriptIntegerResult(PROBE_SIVAT, kMethod, 2);
    for (const InjectedFailure& failure : {kFailingMultiByteToWideChar, kFailingSysAllocString}) {
        SCOPED_TRACE(failure.function);
        ProbeReset();
        ProbeDefineMethod(PROBE_SIVAT, kMethod);
        const ImportPatch patch(wrapper().module, failure);
        EXPECT_EQ(wrapper().GetSivatMode("t"), -1);
        EXPECT_EQ(Lookups().size(), 1u);
        EXPECT_TRUE(Invocations().empty());
    }
    const ImportPatch patch(wrapper().module, kFailingMultiByteToWideChar);
    ProbeReset();
    EXPECT_EQ(wrapper().GetSivatMode("t"), -1) << "unknown method, failed conversion";
}
