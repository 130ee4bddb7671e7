// nolvhost doctor's checks in the situations they are there to find: the
// probe registered as the Nolv component and scripted to lack a method or
// IDispatch, unregistered, registered for the other bitness only or
// pointing at a file that is gone; the library beside the program, of the
// other architecture, or another DLL; the clipboard held by another process.
#include <gtest/gtest.h>

#include <windows.h>
#include <ole2.h>

#include <functional>
#include <string>
#include <vector>

#include "doctor/check.h"
#include "doctor/clipboard_check.h"
#include "doctor/component_checks.h"
#include "doctor/component_registration.h"
#include "doctor/doctor.h"
#include "doctor/findings.h"
#include "doctor/library_checks.h"
#include "doctor/library_load_check.h"
#include "doctor/surrogate_checks.h"
#include "probe_control.h"
#include "support/clipboard_holder_process.h"
#include "support/wrapper_library.h"

namespace {

const ComponentNeeds& Nolv() { return LibraryComponents()[0]; }

// A class of no real component, for registrations made by hand.
constexpr wchar_t kHandMadeClass[] = L"{6E0F5C1A-7D1B-4C55-9E0A-5D0C1B2A3F41}";

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

std::string Report(const std::vector<Check>& checks) {
    std::string report;
    for (const Check& check : checks) report += FormatCheck(check);
    return report;
}

const Check* Find(const std::vector<Check>& checks, const std::string& subject) {
    for (const Check& check : checks)
        if (check.subject == subject) return &check;
    return nullptr;
}

void SetText(REGSAM view, const std::wstring& key, const wchar_t* valueName,
             const std::wstring& text) {
    HKEY opened;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE | view,
                              nullptr, &opened, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(
        RegSetValueExW(opened, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))),
        ERROR_SUCCESS);
    RegCloseKey(opened);
}

void RemoveTree(REGSAM view, const std::wstring& key) {
    HKEY opened;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_ALL_ACCESS | view, &opened) !=
        ERROR_SUCCESS)
        return;
    RegDeleteTreeW(opened, nullptr);
    RegCloseKey(opened);
    RegDeleteKeyExW(HKEY_CLASSES_ROOT, key.c_str(), view, 0);
}

// The same file in the build tree of the other architecture.
std::wstring OtherArchitecture(const wchar_t* fileName) {
    const std::wstring other = sizeof(void*) == 8 ? L"i686" : L"x86_64";
    return BesideProgram((L"..\\..\\" + other + L"\\bin\\" + fileName).c_str());
}

bool FileExists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Each situation starts from the probe registered as the Nolv component,
// with every method the library calls, and ends with no trace of it.
class DoctorComponentChecks : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        RegisterProbe();
    }
    void TearDown() override {
        Unregister();
        CoUninitialize();
    }

    static void RegisterProbe() {
        ProbeReset();
        for (const wchar_t* method : Nolv().methods) ProbeDefineMethod(PROBE_NOLV, method);
        ASSERT_EQ(ProbeRegister(PROBE_NOLV, Nolv().progId), S_OK);
    }
    static void Unregister() {
        ProbeUnregister(PROBE_NOLV, Nolv().progId);
        for (REGSAM view : {ThisProcessView(), OtherView()}) {
            RemoveTree(view, Nolv().progId);
            RemoveTree(view, std::wstring(L"CLSID\\") + kHandMadeClass);
        }
        ProbeRefuseDispatch(PROBE_NOLV, 0);
    }
};

}  // namespace

TEST_F(DoctorComponentChecks, FindsEachCauseOfAFailedLoadInItsOwnCheck) {
    const std::string progId = "NOLV_Lib.NOLVComClass";
    const struct {
        const char* situation;
        std::function<void()> arrange;
        const char* failedCheck;  // null: every check passes
        const char* finding;
        const char* libraryReason;  // null: the library's load returns 1
    } cases[] = {
        {"registered, every method there", [] {}, nullptr,
         "all found: getNumberStr, getNameListCSV, AboutBox, editSettingData, "
         "setSettingDataFileName",
         nullptr},
        {"not registered", [] { ProbeUnregister(PROBE_NOLV, Nolv().progId); }, "registration",
         "not registered",
         "LoadNolvSys: the Nolv component's ProgID NOLV_Lib.NOLVComClass was not found: "
         "0x800401F3"},
        {"server file gone",
         [] {
             SetText(ThisProcessView(), Nolv().progId + std::wstring(L"\\CLSID"), nullptr,
                     kHandMadeClass);
             SetText(ThisProcessView(),
                     std::wstring(L"CLSID\\") + kHandMadeClass + L"\\InprocServer32", nullptr,
                     L"C:\\gone\\nolv_component.dll");
         },
         "server", "C:\\gone\\nolv_component.dll: no such file",
         "LoadNolvSys: the Nolv component (NOLV_Lib.NOLVComClass) could not be created: 0x"},
        {"a method missing",
         [] {
             ProbeReset();
             for (const wchar_t* method :
                  {L"getNumberStr", L"getNameListCSV", L"AboutBox", L"setSettingDataFileName"})
                 ProbeDefineMethod(PROBE_NOLV, method);
         },
         "methods", "missing: editSettingData", nullptr},
        {"IDispatch refused", [] { ProbeRefuseDispatch(PROBE_NOLV, 1); }, "IDispatch",
         "refused: 0x80004002",
         "LoadNolvSys: the Nolv component (NOLV_Lib.NOLVComClass) has no automation interface "
         "(IDispatch): 0x80004002"},
    };
    const LibraryUnderCheck library(BesideProgram(L"Nolv_Lib_Wrapper.dll"));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.situation);
        RegisterProbe();
        c.arrange();
        const std::vector<Check> checks = ComponentChecks(Nolv());
        const std::string report = Report(checks);
        EXPECT_EQ(NoneFailed(checks), c.failedCheck == nullptr) << report;
        const std::string subject = progId + ' ' + (c.failedCheck ? c.failedCheck : "methods");
        const Check* check = Find(checks, subject);
        ASSERT_NE(check, nullptr) << report;
        EXPECT_EQ(check->verdict, c.failedCheck ? Verdict::Failed : Verdict::Passed) << report;
        EXPECT_TRUE(Contains(check->finding, c.finding)) << report;
        // The library's own load, with its reason beside the doctor's.
        const Check load = library.LoadCheck(Nolv(), c.failedCheck != nullptr);
        EXPECT_EQ(load.subject, progId + " load through the library");
        EXPECT_EQ(load.finding, c.libraryReason ? "LoadNolvSys returned 0" : "LoadNolvSys returned 1");
        if (c.libraryReason) {
            EXPECT_TRUE(Contains(load.cause, std::string("the library says: ") + c.libraryReason))
                << load.cause;
            EXPECT_EQ(load.fix, "fix what the checks of " + progId + " above found");
        }
        Unregister();
    }
}

TEST_F(DoctorComponentChecks, SaysWhenTheComponentIsRegisteredForTheOtherBitnessOnly) {
    BOOL underWow64 = FALSE;
    if (sizeof(void*) == 4 && !(IsWow64Process(GetCurrentProcess(), &underWow64) && underWow64))
        GTEST_SKIP() << "a 32-bit system has one registry view";
    ProbeUnregister(PROBE_NOLV, Nolv().progId);
    SetText(OtherView(), Nolv().progId + std::wstring(L"\\CLSID"), nullptr, kHandMadeClass);
    SetText(OtherView(), std::wstring(L"CLSID\\") + kHandMadeClass + L"\\InprocServer32", nullptr,
            OtherArchitecture(L"nolv_sample.dll"));

    const std::vector<Check> checks = ComponentChecks(Nolv());
    const std::string otherBits = sizeof(void*) == 8 ? "32" : "64";
    const Check* registration = Find(checks, "NOLV_Lib.NOLVComClass registration");
    ASSERT_NE(registration, nullptr);
    EXPECT_EQ(registration->verdict, Verdict::Failed);
    EXPECT_EQ(registration->finding,
              "registered for " + otherBits + "-bit processes only" +
                  (sizeof(void*) == 8 ? ", no surrogate set up" : ""))
        << Report(checks);
}

TEST(DoctorLibraryChecks, FindTheLibraryAndTellAnotherDllFromIt) {
    const struct {
        const wchar_t* file;
        const char* subject;
        Verdict verdict;
        const char* finding;
    } cases[] = {
        {L"Nolv_Lib_Wrapper.dll", "library exports", Verdict::Passed,
         "all eleven functions, the six buffer and UTF-16 ones, the two that read the last "
         "failure and the isolation setting"},
        {L"Nolv_Lib_Wrapper.dll", "nolvsurrogate.exe", Verdict::Passed,
         "starts (and ends at once without a component to run)"},
        {L"elsewhere\\Nolv_Lib_Wrapper.dll", "nolvsurrogate.exe", Verdict::Failed,
         "elsewhere\\nolvsurrogate.exe: no such program"},
        {L"Nolv_Lib_Wrapper.dll", "library version", Verdict::Passed, "1.0.0.1"},
        {L"no_such_library.dll", "library file", Verdict::Failed,
         "no_such_library.dll: no such file"},
        {L"probe_component.dll", "library exports", Verdict::Failed,
         "missing: LoadNolvSys, LoadSivatSys, FreeNolvSys, Nolv_Lib_getNumberStrRZ"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.finding);
        std::vector<Check> checks = LibraryChecks(BesideProgram(c.file));
        for (Check& check : SurrogateChecks(BesideProgram(c.file))) checks.push_back(std::move(check));
        const Check* check = Find(checks, c.subject);
        ASSERT_NE(check, nullptr) << Report(checks);
        EXPECT_EQ(check->verdict, c.verdict) << Report(checks);
        EXPECT_TRUE(Contains(check->finding, c.finding)) << Report(checks);
    }
}

TEST(DoctorLibraryChecks, RefuseTheLibraryOfTheOtherArchitecture) {
    const std::wstring other = OtherArchitecture(L"Nolv_Lib_Wrapper.dll");
    if (!FileExists(other)) GTEST_SKIP() << "the other architecture is not built";
    const std::vector<Check> checks = LibraryChecks(other);
    const Check* check = Find(checks, "library architecture");
    ASSERT_NE(check, nullptr);
    EXPECT_EQ(check->verdict, Verdict::Failed);
    EXPECT_EQ(check->finding, sizeof(void*) == 8 ? "x86 (32-bit), this process is x64 (64-bit)"
                                                 : "x64 (64-bit), this process is x86 (32-bit)");
    EXPECT_EQ(Find(checks, "library exports")->verdict, Verdict::NotChecked);
}

TEST(DoctorClipboardCheck, NamesTheProcessThatHoldsTheClipboard) {
    EXPECT_EQ(ClipboardCheck().verdict, Verdict::Passed);
    const ClipboardHolderProcess holder(3000);
    const Check check = ClipboardCheck();
    EXPECT_EQ(check.verdict, Verdict::Failed);
    EXPECT_TRUE(Contains(check.finding, "of process " + std::to_string(holder.processId()) + " ("))
        << check.finding;
    EXPECT_TRUE(Contains(check.finding, "\\clipboard_holder.exe)")) << check.finding;
}

// Both directions, though a machine may run one bitness only.
TEST(DoctorReport, TellsWhichBitnessAComponentIsRegisteredFor) {
    const struct {
        RegistrationViews views;
        Verdict verdict;
        const char* finding;
    } cases[] = {
        {{64, true, true, true, false}, Verdict::Passed, "registered for 32-bit and 64-bit processes"},
        {{32, true, true, false, false},
         Verdict::Passed,
         "registered for 32-bit processes, as this one (not for 64-bit processes)"},
        {{32, true, false, false, false}, Verdict::Passed, "registered for 32-bit processes"},
        {{64, false, true, true, false},
         Verdict::Failed,
         "registered for 32-bit processes only, no surrogate set up"},
        {{64, false, true, true, true},
         Verdict::Passed,
         "registered for 32-bit processes only, created out of process by the system's DLL "
         "surrogate (a 32-bit dllhost.exe)"},
        {{32, false, true, true, false}, Verdict::Failed, "registered for 64-bit processes only"},
        {{32, false, false, false, false}, Verdict::Failed, "not registered"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.finding);
        const Check check = RegistrationCheck("P.C", c.views);
        EXPECT_EQ(check.subject, "P.C registration");
        EXPECT_EQ(check.verdict, c.verdict);
        EXPECT_EQ(check.finding, c.finding);
    }
    EXPECT_TRUE(
        Contains(RegistrationCheck("P.C", {32, false, true, true, false}).fix, "32-bit build"));
    EXPECT_TRUE(Contains(RegistrationCheck("P.C", {64, false, true, true, false}).fix,
                         "run nolvhost surrogate on"));
}

// Where the doctor's own checks found nothing, the library's reason is all
// there is to go on.
TEST(DoctorReport, SendsToTheLibrarysReasonWhenNoCheckAboveFailed) {
    const Check load = LibraryLoadCheck("P.C", "LoadNolvSys", -1, "", false);
    EXPECT_EQ(load.verdict, Verdict::Failed);
    EXPECT_EQ(load.cause, "the library recorded no reason");
    EXPECT_TRUE(Contains(load.fix, "the checks above passed")) << load.fix;
}

TEST(DoctorReport, PutsTheCauseAndTheFixUnderAFailure) {
    const std::vector<Check> checks = {
        Passed("library file", "C:\\x\\Nolv_Lib_Wrapper.dll"),
        Failed("clipboard", "held open", "another program", "close it"),
        NotChecked("library version", "no library file"),
    };
    EXPECT_EQ(Report(checks),
              "ok    library file: C:\\x\\Nolv_Lib_Wrapper.dll\n"
              "FAIL  clipboard: held open\n"
              "      cause: another program\n"
              "      fix:   close it\n"
              "skip  library version: not checked: no library file\n");
    EXPECT_EQ(Summary(checks), "doctor: 1 failed, 1 not checked, 1 passed\n");
    EXPECT_FALSE(NoneFailed(checks));
    EXPECT_EQ(Summary({checks[0]}), "doctor: all 1 checks passed\n");
}

TEST(DoctorReport, ReadsItsOptions) {
    EXPECT_FALSE(ParseDoctorOptions({}).library);
    EXPECT_EQ(ParseDoctorOptions({"--library", "C:\\a b\\x.dll"}).library, "C:\\a b\\x.dll");
    for (const std::vector<std::string>& wrong : {std::vector<std::string>{"--frob"},
                                                  {"--library"},
                                                  {"--library", "a", "--library", "b"},
                                                  {"load-nolv"}}) {
        try {
            ParseDoctorOptions(wrong);
            ADD_FAILURE() << "accepted " << wrong[0];
        } catch (const SessionError& error) {
            EXPECT_EQ(error.status(), ExitStatus::WrongInvocation);
        }
    }
}
