// Nolv_Lib_GetLastFailure and Nolv_Lib_GetLastFailureW: after each way a
// call can fail, the reason names the export, the step, the HRESULT and,
// where there are any, the component's own words, the argument and the
// clipboard's holder; a call that does not fail leaves 0 and the empty
// text; reading changes nothing.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "support/clipboard_holder_process.h"
#include "support/component_test.h"
#include "support/host_clipboard.h"
#include "support/import_patch.h"
#include "wide_text.h"

namespace {

// E_ILLEGAL_METHOD_CALL, which this toolchain's headers lack.
constexpr HRESULT kNotLoaded = static_cast<HRESULT>(0x8000000E);

// The clipboard refused once, as a program holding it for a moment does,
// and then a read that fails without an error of its own.
int refusalsLeft = 0;
BOOL WINAPI OpenClipboardRefusedOnce(HWND owner) {
    if (refusalsLeft-- > 0) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    return OpenClipboard(owner);
}
HANDLE WINAPI ClipboardDataWithoutError(UINT) { return nullptr; }

struct Reason {
    int status;
    std::wstring text;
};

Reason ReadW(WrapperLibrary& w) {
    wchar_t buffer[1100];
    int needed = -1;
    const int status = w.GetLastFailureW(buffer, 1100, &needed);
    EXPECT_EQ(needed, static_cast<int>(std::wstring(buffer).size()) + 1);
    return {status, buffer};
}

class FailureReasonTest : public ComponentTest {
protected:
    void SetUp() override {
        ComponentTest::SetUp();
        Script();
    }

    static void Script() {
        ProbeDefineMethod(PROBE_NOLV, L"getNumberStr");
        ScriptTextResult(PROBE_NOLV, L"getNumberStr", L"NS-1");
        ScriptIntegerResult(PROBE_SIVAT, L"getSivatMode", 2);
    }

    // Nothing loaded, both components registered and scripted afresh.
    void Fresh() {
        wrapper().FreeNolvSys();
        ASSERT_EQ(ProbeLiveObjects(), 0);
        ProbeReset();
        ASSERT_EQ(ProbeRegister(PROBE_NOLV, kNolvProgId), S_OK);
        ASSERT_EQ(ProbeRegister(PROBE_SIVAT, kSivatProgId), S_OK);
        Script();
    }

    int NumberString(const char* first = "a") {
        int one = 1;
        int two = 2;
        return wrapper().getNumberStrRZ(first, "b", &one, &two);
    }
};

}  // namespace

// Each case sets up a fault, makes one call, and checks that call's result
// and what the reader says of it.
TEST_F(FailureReasonTest, EachFailureNamesItsExportStepAndStatus) {
    struct Case {
        const char* what;
        std::function<void(WrapperLibrary&)> arrange;
        std::function<int(WrapperLibrary&)> call;
        int result;
        HRESULT status;
        std::vector<std::wstring> words;
    };
    auto loadBoth = [](WrapperLibrary& w) {
        ASSERT_EQ(w.LoadNolvSys(), 1);
        ASSERT_EQ(w.LoadSivatSys(), 1);
    };
    auto mode = [](WrapperLibrary& w) { return w.GetSivatMode("x"); };
    std::vector<std::unique_ptr<ImportPatch>> patches;  // in force for one case's call
    auto numberString = [this](WrapperLibrary&) { return NumberString(); };
    const Case cases[] = {
        {"component not loaded", [](WrapperLibrary&) {}, numberString, 0, kNotLoaded,
         {L"Nolv_Lib_getNumberStrRZ: the Nolv component is not loaded; call LoadNolvSys first: "
          L"0x8000000E (A method was called at an unexpected time.)"}},
        {"Sivat not loaded", [](WrapperLibrary& w) { ASSERT_EQ(w.LoadNolvSys(), 1); }, mode, -3,
         kNotLoaded, {L"Sivat_Lib_GetSivatMode: the Sivat component is not loaded; call LoadSivatSys first"}},
        {"method missing", [&](WrapperLibrary& w) { ProbeReset(); loadBoth(w); }, mode, -3,
         DISP_E_UNKNOWNNAME,
         {L"Sivat_Lib_GetSivatMode: the Sivat component has no method getSivatMode: 0x80020006"}},
        {"call refused",
         [&](WrapperLibrary& w) {
             loadBoth(w);
             ProbeSetInvokeStatus(PROBE_SIVAT, L"getSivatMode", E_ACCESSDENIED);
         },
         mode, -1, E_ACCESSDENIED,
         {L"Sivat_Lib_GetSivatMode: the Sivat component's getSivatMode failed: 0x80070005"}},
        {"exception",
         [&](WrapperLibrary& w) {
             loadBoth(w);
             ProbeSetException(PROBE_SIVAT, L"getSivatMode", L"Probe", L"licence expired", 0);
         },
         mode, -1, DISP_E_EXCEPTION,
         {L"getSivatMode failed: 0x80020009", L"; the component says: licence expired (source: Probe)"}},
        {"exception filled in late",
         [&](WrapperLibrary& w) {
             loadBoth(w);
             ProbeSetException(PROBE_SIVAT, L"getSivatMode", L"Probe", L"settings file not found", 1);
         },
         mode, -1, DISP_E_EXCEPTION,
         {L"; the component says: settings file not found (source: Probe)"}},
        {"exception with a source only",
         [&](WrapperLibrary& w) {
             loadBoth(w);
             ProbeSetException(PROBE_SIVAT, L"getSivatMode", L"Probe", nullptr, 0);
         },
         mode, -1, DISP_E_EXCEPTION, {L"(Exception occurred.); source: Probe"}},
        {"argument refused",
         [&](WrapperLibrary& w) {
             loadBoth(w);
             ProbeSetIntegerOut(PROBE_NOLV, L"getNumberStr", 1, 5);  // the second text
         },
         numberString, 3, DISP_E_TYPEMISMATCH,
         {L"getNumberStr failed: 0x80020005", L"; at argument 2 of 4"}},
        {"no result",
         [&](WrapperLibrary& w) {
             ProbeReset();
             ProbeDefineMethod(PROBE_SIVAT, L"getSivatMode");
             loadBoth(w);
         },
         mode, -1, DISP_E_TYPEMISMATCH, {L"the Sivat component's getSivatMode gave no result"}},
        {"not registered",
         [](WrapperLibrary&) { ASSERT_EQ(ProbeUnregister(PROBE_NOLV, kNolvProgId), S_OK); },
         [](WrapperLibrary& w) { return w.LoadNolvSys(); }, 0, CO_E_CLASSSTRING,
         {L"LoadNolvSys: the Nolv component's ProgID NOLV_Lib.NOLVComClass was not found: 0x800401F3"}},
        {"no IDispatch", [](WrapperLibrary&) { ProbeRefuseDispatch(PROBE_SIVAT, 1); },
         [](WrapperLibrary& w) { return w.LoadSivatSys(); }, 0, E_NOINTERFACE,
         {L"LoadSivatSys: the Sivat component (FendrelLib.SivatComClass) has no automation interface"}},
        {"buffer too small", loadBoth,
         [](WrapperLibrary& w) {
             int one = 1, two = 2, needed = 0;
             char buffer[3];
             return w.getNumberStrBuf("a", "b", &one, &two, buffer, 3, &needed);
         },
         3, HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER),
         {L"the text does not fit the buffer: 0x8007007A", L"the buffer holds 3, the text needs 5"}},
        {"clipboard read failing without an error, after a refused open",
         [&](WrapperLibrary& w) {
             loadBoth(w);
             ScriptTextResult(PROBE_NOLV, L"getNameListCSV", L"a,b");
             SetHostClipboardText("input");
             refusalsLeft = 1;
             patches.push_back(std::make_unique<ImportPatch>(
                 w.module, "user32.dll", "OpenClipboard", reinterpret_cast<void*>(&OpenClipboardRefusedOnce)));
             patches.push_back(std::make_unique<ImportPatch>(
                 w.module, "user32.dll", "GetClipboardData", reinterpret_cast<void*>(&ClipboardDataWithoutError)));
         },
         [](WrapperLibrary& w) { return w.getPartsNameListRZClip("x", 0); }, 2, CLIPBRD_E_BAD_DATA,
         {L"Nolv_Lib_getPartsNameListRZClip: the clipboard could not be read: 0x800401D3"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Fresh();
        c.arrange(wrapper());
        EXPECT_EQ(c.call(wrapper()), c.result);
        patches.clear();
        const Reason reason = ReadW(wrapper());
        EXPECT_EQ(reason.status, c.status);
        for (const std::wstring& words : c.words)
            EXPECT_NE(reason.text.find(words), std::wstring::npos) << Utf8(reason.text);
        EXPECT_EQ(reason.text.find_first_of(L"\r\n"), std::wstring::npos) << "one line";
    }
}

// A host that passes null where the call must write its integers gets the
// fallback, with no component call made.
TEST_F(FailureReasonTest, NullIntegerPointersAreRefusedWithoutACall) {
    ASSERT_EQ(wrapper().LoadNolvSys(), 1);
    int value = 7;
    char buffer[16] = "stale";
    wchar_t wide[16] = L"stale";
    int needed = -1;
    const struct {
        const char* argument;
        std::function<int()> call;
        std::function<bool()> emptied;
    } cases[] = {
        {"first", [&] { return wrapper().getNumberStrRZ("a", "b", nullptr, &value); },
         [] { return HostClipboardText() == std::string(); }},
        {"second", [&] { return wrapper().getNumberStrRZ("a", "b", &value, nullptr); },
         [] { return HostClipboardText() == std::string(); }},
        {"first",
         [&] { return wrapper().getNumberStrBuf("a", "b", nullptr, nullptr, buffer, 16, &needed); },
         [&] { return buffer[0] == '\0' && needed == 1; }},
        {"second",
         [&] { return wrapper().getNumberStrBufW(L"a", L"b", &value, nullptr, wide, 16, &needed); },
         [&] { return wide[0] == L'\0' && needed == 1; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.argument);
        SetHostClipboardText("previous content");
        ProbeReset();
        EXPECT_EQ(c.call(), 0);
        EXPECT_TRUE(c.emptied());
        EXPECT_TRUE(Invocations().empty());
        const Reason reason = ReadW(wrapper());
        EXPECT_EQ(reason.status, E_POINTER);
        EXPECT_NE(reason.text.find(L"the argument " + WideFromBytes(c.argument, CP_ACP) +
                                   L" is a null pointer: 0x80004003"),
                  std::wstring::npos);
    }
    EXPECT_EQ(value, 7);
}

// The record describes the most recent call only, and the readers leave it
// as it is; its text follows the buffer convention of the other exports.
TEST_F(FailureReasonTest, RecordDescribesTheLastCallAndReadingKeepsIt) {
    EXPECT_EQ(NumberString(), 0);  // not loaded
    const Reason failed = ReadW(wrapper());
    ASSERT_NE(failed.status, 0);
    EXPECT_EQ(ReadW(wrapper()).text, failed.text) << "a second reading";

    char small[10];
    int needed = -1;
    EXPECT_EQ(wrapper().GetLastFailure(small, 10, &needed), failed.status);
    EXPECT_EQ(std::string(small), "Nolv_Lib_");
    EXPECT_EQ(needed, static_cast<int>(failed.text.size()) + 1);
    EXPECT_EQ(wrapper().GetLastFailureW(nullptr, 0, &needed), failed.status);
    EXPECT_EQ(needed, static_cast<int>(failed.text.size()) + 1);
    EXPECT_EQ(wrapper().GetLastFailure(nullptr, 10, nullptr), failed.status);

    ASSERT_EQ(wrapper().LoadNolvSys(), 1);
    const Reason after = ReadW(wrapper());
    EXPECT_EQ(after.status, 0);
    EXPECT_EQ(after.text, L"");
    char ansi[8] = "stale";
    EXPECT_EQ(wrapper().GetLastFailure(ansi, 8, &needed), 0);
    EXPECT_EQ(std::string(ansi), "");
    EXPECT_EQ(needed, 1);

    EXPECT_EQ(NumberString(), 3);
    EXPECT_EQ(ReadW(wrapper()).status, 0) << "a success after a failure";
    wrapper().FreeNolvSys();
    EXPECT_EQ(ReadW(wrapper()).status, 0);
}

// The component's words reach a UTF-16 host whole, whatever the ANSI code
// page; the ANSI reader gives them in the code page, as far as it has them.
TEST_F(FailureReasonTest, ComponentWordsArriveWholeThroughTheWideReader) {
    const std::wstring words = L"設定ファイルがありません Ωμέγα \U0001F4C4";
    ASSERT_EQ(wrapper().LoadSivatSys(), 1);
    for (const int deferred : {0, 1}) {
        SCOPED_TRACE(deferred);
        ProbeSetException(PROBE_SIVAT, L"getSivatMode", L"ソース", words.c_str(), deferred);
        EXPECT_EQ(wrapper().GetSivatMode("x"), -1);
        const Reason reason = ReadW(wrapper());
        EXPECT_NE(reason.text.find(L"the component says: " + words + L" (source: ソース)"),
                  std::wstring::npos);

        char ansi[1100];
        int needed = 0;
        EXPECT_EQ(wrapper().GetLastFailure(ansi, sizeof ansi, &needed), DISP_E_EXCEPTION);
        EXPECT_EQ(std::string(ansi), BytesFromWide(reason.text, CP_ACP));
    }
}

// A description longer than the record is cut where a character ends: the
// line stays within the record, and no surrogate is left without its pair.
TEST_F(FailureReasonTest, LongWordsAreCutAtAWholeCharacter) {
    std::wstring words;
    for (int i = 0; i < 1500; ++i) words += L"\U0001F4C4";
    ASSERT_EQ(wrapper().LoadSivatSys(), 1);
    ProbeSetException(PROBE_SIVAT, L"getSivatMode", L"Probe", words.c_str(), 0);
    wrapper().GetSivatMode("x");
    const Reason reason = ReadW(wrapper());
    EXPECT_LT(reason.text.size(), 1024u);
    ASSERT_FALSE(reason.text.empty());
    EXPECT_FALSE(IS_HIGH_SURROGATE(reason.text.back())) << "half a pair at the end";
}

// Another program that holds the clipboard for longer than the library
// tries is named, with how long the library tried.
TEST_F(FailureReasonTest, AHeldClipboardNamesItsHolder) {
    ASSERT_EQ(wrapper().LoadNolvSys(), 1);
    {
        const ClipboardHolderProcess holder(2000);
        EXPECT_EQ(NumberString(), 3);
        const Reason reason = ReadW(wrapper());
        EXPECT_EQ(reason.status, CLIPBRD_E_CANT_OPEN);
        const std::wstring holderWords = L"; held by clipboard_holder.exe (process " +
                                         std::to_wstring(holder.processId()) + L"); tried for ";
        EXPECT_NE(reason.text.find(L"Nolv_Lib_getNumberStrRZ: the clipboard could not be opened: "
                                   L"0x800401D0"),
                  std::wstring::npos)
            << Utf8(reason.text);
        const std::size_t at = reason.text.find(holderWords);
        ASSERT_NE(at, std::wstring::npos) << Utf8(reason.text);
        const int tried = std::stoi(reason.text.substr(at + holderWords.size()));
        EXPECT_GE(tried, 400);
        EXPECT_LE(tried, 1000);
    }
}
