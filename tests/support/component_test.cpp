#include "support/component_test.h"

#include <oleauto.h>

void ComponentTest::SetUp() {
    ProbeReset();
    ASSERT_EQ(ProbeRegister(PROBE_NOLV, kNolvProgId), S_OK);
    ASSERT_EQ(ProbeRegister(PROBE_SIVAT, kSivatProgId), S_OK);
    wrapper_ = std::make_unique<WrapperLibrary>();
}

void ComponentTest::TearDown() {
    wrapper_->FreeNolvSys();
    EXPECT_EQ(ProbeLiveObjects(), 0) << "a component object outlived FreeNolvSys";
    wrapper_.reset();
}

std::vector<ProbeCall> ComponentTest::Records(int kind) {
    std::vector<ProbeCall> records;
    for (int i = 0; i < ProbeCallCount(); ++i) {
        const ProbeCall* call = ProbeGetCall(i);
        if (call != nullptr && call->kind == kind) records.push_back(*call);
    }
    return records;
}

void ScriptTextResult(int component, const wchar_t* method, const wchar_t* text) {
    VARIANT result;
    VariantInit(&result);
    V_VT(&result) = VT_BSTR;
    V_BSTR(&result) = text != nullptr ? SysAllocString(text) : nullptr;
    ProbeSetResult(component, method, &result);
    VariantClear(&result);
}

void ScriptIntegerResult(int component, const wchar_t* method, LONG value) {
    VARIANT result;
    VariantInit(&result);
    V_VT(&result) = VT_I4;
    V_I4(&result) = value;
    ProbeSetResult(component, method, &result);
}

void ExpectCallForm(const ProbeCall& call, bool resultWanted, int argumentCount) {
    EXPECT_EQ(call.kind, PROBE_INVOKE);
    EXPECT_TRUE(call.riidIsNull);
    EXPECT_EQ(call.flags, DISPATCH_METHOD);
    EXPECT_EQ(call.lcid, static_cast<LCID>(LOCALE_SYSTEM_DEFAULT));
    EXPECT_EQ(call.namedArgCount, 0);
    EXPECT_EQ(call.resultRequested, resultWanted ? 1 : 0);
    EXPECT_TRUE(call.excepInfoRequested);
    EXPECT_TRUE(call.argErrRequested);
    EXPECT_EQ(call.argCount, argumentCount);
}

std::wstring TextOf(const ProbeArg& argument) {
    return std::wstring(argument.text, argument.textLength);
}
