// Every export called over and over against a probe that answers, replaces
// by-reference strings and rewrites integers: the process's private memory,
// handle count and window-system object counts stay flat, and nothing is
// left alive after FreeNolvSys. The number of rounds (1750 calls each) can
// be raised with NOLV_SOAK_ROUNDS for a long soak.
#include <string>

#include "support/component_test.h"
#include "support/host_clipboard.h"
#include "support/import_patch.h"
#include "support/soak.h"

namespace {

using SoakTest = ComponentTest;

void ScriptEveryMethod() {
    ProbeSetRecording(0);
    for (const wchar_t* method : {L"getNumberStr", L"getNameListCSV", L"AboutBox",
                                  L"editSettingData", L"setSettingDataFileName"})
        ProbeDefineMethod(PROBE_NOLV, method);
    for (const wchar_t* method : {L"getSivatMode", L"About"}) ProbeDefineMethod(PROBE_SIVAT, method);

    ScriptTextResult(PROBE_NOLV, L"getNumberStr", std::wstring(5000, L'7').c_str());
    ProbeSetTextOut(PROBE_NOLV, L"getNumberStr", 0, L"replaced first");
    ProbeSetTextOut(PROBE_NOLV, L"getNumberStr", 1, nullptr);
    ProbeSetIntegerOut(PROBE_NOLV, L"getNumberStr", 2, 3);
    ScriptTextResult(PROBE_NOLV, L"getNameListCSV", L"bolt,nut,washer");
    ProbeSetTextOut(PROBE_NOLV, L"getNameListCSV", 1, L"replaced clipboard text");
    ProbeSetTextOut(PROBE_NOLV, L"setSettingDataFileName", 0, L"replaced name");
    ScriptIntegerResult(PROBE_SIVAT, L"getSivatMode", 2);
    ProbeSetTextOut(PROBE_SIVAT, L"getSivatMode", 0, L"replaced spaces");
    ProbeSetTextOut(PROBE_SIVAT, L"getSivatMode", 2, L"replaced host text");
}

void CallEveryOperation(WrapperLibrary& wrapper, const std::string& input) {
    int first = 1;
    int second = 2;
    wrapper.getNumberStrRZ(input.c_str(), nullptr, &first, &second);
    SetHostClipboardText(input);
    wrapper.getPartsNameListRZClip("b", 3);
    wrapper.GetSivatMode(input.c_str());
    wrapper.AboutBox();
    wrapper.SivatAboutBox();
    wrapper.editSettingData();
    wrapper.setSettingDataFileName(input.c_str());
}

}  // namespace

TEST_F(SoakTest, RepeatedOperationsKeepMemoryFlat) {
    ScriptEveryMethod();
    ASSERT_EQ(wrapper().LoadNolvSys(), 1);
    ASSERT_EQ(wrapper().LoadSivatSys(), 1);
    const std::string input(6000, 'q');  // long enough for the heap paths
    auto round = [&] {
        for (int i = 0; i < 250; ++i) CallEveryOperation(wrapper(), input);
    };
    ExpectFlatOverSoak(round, 6, 250 * 7);
    EXPECT_EQ(ProbeLiveObjects(), 2);
    EXPECT_EQ(ProbeLiveReferences(), 4);
}

TEST_F(SoakTest, RepeatedLoadAndFreeLeavesNothingAlive) {
    const ProcessResources growth = GrowthOver(0, 300 * SoakRounds(6), [this] {
        ASSERT_EQ(wrapper().LoadNolvSys(), 1);
        ASSERT_EQ(wrapper().LoadSivatSys(), 1);
        ASSERT_EQ(wrapper().LoadNolvSys(), 1);
        wrapper().FreeNolvSys();
        ASSERT_EQ(ProbeLiveObjects(), 0);
    });
    ExpectNoLeak(growth, 512 * 1024);
}

namespace {
void WINAPI KeptString(BSTR) {}
}  // namespace

// Failing calls whose component raises an exception, its words given at
// once or filled in late: the library frees every string of the exception
// information. Leaving them (the library's SysFreeString made to keep
// every string) is seen.
TEST_F(SoakTest, RepeatedComponentExceptionsKeepMemoryFlat) {
    const std::wstring words(2000, L'w');
    ProbeSetRecording(0);
    ProbeSetException(PROBE_SIVAT, L"getSivatMode", L"Probe", words.c_str(), 0);
    ProbeSetException(PROBE_NOLV, L"setSettingDataFileName", L"Probe", words.c_str(), 1);
    ASSERT_EQ(wrapper().LoadNolvSys(), 1);
    ASSERT_EQ(wrapper().LoadSivatSys(), 1);
    auto round = [&] {
        for (int i = 0; i < 500; ++i) {
            ASSERT_EQ(wrapper().GetSivatMode("x"), -1);
            wrapper().setSettingDataFileName("x");
            ASSERT_EQ(wrapper().GetLastFailureW(nullptr, 0, nullptr), DISP_E_EXCEPTION);
        }
    };
    ExpectFlatOverSoak(round, 10, 500 * 2);

    const ImportPatch kept(wrapper().module, "oleaut32.dll", "SysFreeString",
                           reinterpret_cast<void*>(&KeptString));
    EXPECT_GT(GrowthOver(0, 1, round).privateMemory, 2 * 1024 * 1024)
        << "the measure does not see the exception's strings kept";
}
