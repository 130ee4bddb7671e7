// Nolv_Lib_AboutBox, Nolv_Lib_SivatAboutBox, Nolv_Lib_editSettingData and
// Nolv_Lib_setSettingDataFileName: each passes one request to one method,
// by name, and asks for no result.
#include <functional>
#include <string>

#include "support/component_test.h"
#include "support/failing_imports.h"
#include "support/import_patch.h"
#include "support/soak.h"

namespace {

using DialogsTest = ComponentTest;

struct PassThrough {
    const char* exportName;
    int component;
    const wchar_t* method;
    std::function<void(WrapperLibrary&)> call;
    int argumentCount;
};

const PassThrough kPassThroughs[] = {
    {"Nolv_Lib_AboutBox", PROBE_NOLV, L"AboutBox", [](WrapperLibrary& w) { w.AboutBox(); }, 0},
    {"Nolv_Lib_SivatAboutBox", PROBE_SIVAT, L"About", [](WrapperLibrary& w) { w.SivatAboutBox(); }, 0},
    {"Nolv_Lib_editSettingData", PROBE_NOLV, L"editSettingData",
     [](WrapperLibrary& w) { w.editSettingData(); }, 0},
    {"Nolv_Lib_setSettingDataFileName", PROBE_NOLV, L"setSettingDataFileName",
     [](WrapperLibrary& w) { w.setSettingDataFileName("C:\\settings\\nolv.ini"); }, 1},
};

void DefineAllPassThroughMethods() {
    for (const PassThrough& p : kPassThroughs) ProbeDefineMethod(p.component, p.method);
}

}  // namespace

TEST_F(DialogsTest, EachExportCallsItsOneMethodOnceByReferenceWithNoResult) {
    DefineAllPassThroughMethods();
    ASSERT_EQ(wrapper().LoadNolvSys(), 1);
    ASSERT_EQ(wrapper().LoadSivatSys(), 1);
    for (const PassThrough& p : kPassThroughs) {
        SCOPED_TRACE(p.exportName);
        ProbeReset();
        DefineAllPassThroughMethods();
        p.call(wrapper());

        const auto lookups = Lookups();
        ASSERT_EQ(lookups.size(), 1u);
        EXPECT_EQ(lookups[0].component, p.component);
        EXPECT_STREQ(lookups[0].name, p.method);
        EXPECT_EQ(lookups[0].nameCount, 1);
        EXPECT_TRUE(lookups[0].riidIsNull);
        EXPECT_EQ(lookups[0].lcid, static_cast<LCID>(LOCALE_SYSTEM_DEFAULT));

        const auto calls = Invocations();
        ASSERT_EQ(calls.size(), 1u);
        const ProbeCall& call = calls[0];
        EXPECT_EQ(call.component, p.component);
        EXPECT_STREQ(call.name, p.method);
        EXPECT_EQ(call.dispid, lookups[0].dispid);
        ExpectCallForm(call, false, p.argumentCount);
        ASSERT_EQ(call.argCount, p.argumentCount);
        if (p.argumentCount == 1) {
            EXPECT_EQ(call.args[0].vt, kTextByRef);
            EXPECT_EQ(TextOf(call.args[0]), L"C:\\settings\\nolv.ini");
        }
    }
}

TEST_F(DialogsTest, NullFileNameArrivesAsNullString) {
    ProbeDefineMethod(PROBE_NOLV, L"setSettingDataFileName");
    ASSERT_EQ(wrapper().LoadNolvSys(), 1);
    wrapper().setSettingDataFileName(nullptr);
    const auto calls = Invocations();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].args[0].vt, kTextByRef);
    EXPECT_TRUE(calls[0].args[0].textIsNull);
}

TEST_F(DialogsTest, EachAboutBoxWorksWithOnlyItsOwnComponentLoaded) {
    DefineAllPassThroughMethods();
    ASSERT_EQ(wrapper().LoadSivatSys(), 1);
    wrapper().SivatAboutBox();
    wrapper().AboutBox();  // Nolv not loaded: no call, no crash
    wrapper().FreeNolvSys();
    ASSERT_EQ(wrapper().LoadNolvSys(), 1);
    wrapper().AboutBox();
    wrapper().SivatAboutBox();

    const auto calls = Invocations();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].component, PROBE_SIVAT);
    EXPECT_STREQ(calls[0].name, L"About");
    EXPECT_EQ(calls[1].component, PROBE_NOLV);
    EXPECT_STREQ(calls[1].name, L"AboutBox");
}

TEST_F(DialogsTest, MethodsTheComponentDoesNotKnowAreLookedUpButNotInvoked) {
    ASSERT_EQ(wrapper().LoadNolvSys(), 1);
    ASSERT_EQ(wrapper().LoadSivatSys(), 1);
    for (const PassThrough& p : kPassThroughs) p.call(wrapper());
    EXPECT_EQ(Lookups().size(), 4u);
    EXPECT_TRUE(Invocations().empty());
}

TEST_F(DialogsTest, WithEmptySlotsEveryExportReturnsWithoutCalling) {
    DefineAllPassThroughMethods();
    for (const PassThrough& p : kPassThroughs) p.call(wrapper());  // never loaded
    ProbeRefuseDispatch(PROBE_NOLV, 1);
    ProbeRefuseDispatch(PROBE_SIVAT, 1);
    ASSERT_EQ(wrapper().LoadNolvSys(), 0);  // half-filled slots
    ASSERT_EQ(wrapper().LoadSivatSys(), 0);
    for (const PassThrough& p : kPassThroughs) p.call(wrapper());
    wrapper().FreeNolvSys();
    for (const PassThrough& p : kPassThroughs) p.call(wrapper());  // freed
    EXPECT_EQ(ProbeCallCount(), 0);
}

// Conversion failures inside the file-name export are contained by its
// call guard: it returns, and what it had made is released.

TEST_F(DialogsTest, FailedFileNameConversionReturnsCleanlyWithoutCalling) {
    DefineAllPassThroughMethods();
    ASSERT_EQ(wrapper().LoadNolvSys(), 1);
    for (const InjectedFailure& failure : {kFailingMultiByteToWideChar, kFailingSysAllocString}) {
        SCOPED_TRACE(failure.function);
        const ImportPatch patch(wrapper().module, failure);
        wrapper().setSettingDataFileName("settings.ini");
        wrapper().AboutBox();  // a guarded export without conversions still works
    }
    const auto calls = Invocations();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_STREQ(calls[0].name, L"AboutBox");
    EXPECT_STREQ(calls[1].name, L"AboutBox");
}

// Thousands of calls with the component replacing the by-reference string
// each time: the replacement is freed by the library, nothing accumulates.
TEST_F(DialogsTest, RepeatedCallsLeakNothing) {
    DefineAllPassThroughMethods();
    ProbeSetTextOut(PROBE_NOLV, L"setSettingDataFileName", 0, L"replaced by the component");
    ProbeSetRecording(0);
    ASSERT_EQ(wrapper().LoadNolvSys(), 1);
    ASSERT_EQ(wrapper().LoadSivatSys(), 1);
    const std::string longName(3000, 'n');
    auto round = [&] {
        for (int i = 0; i < 500; ++i) {
            for (const PassThrough& p : kPassThroughs) p.call(wrapper());
            wrapper().setSettingDataFileName(longName.c_str());
        }
    };
    ExpectNoLeak(GrowthOver(1, 4, round), 256 * 1024);
    EXPECT_EQ(ProbeCallCount(), 5 * 500 * 10);
}
