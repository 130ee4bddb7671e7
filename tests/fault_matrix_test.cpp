// The fault matrix: every function the DLL imports, read from its own
// import table, is either made to fail under every export, or listed with
// the reason a failure of it cannot reach an export. For each injected
// failure and export the test checks the documented outcome, the reason
// the library then gives (its HRESULT and the words of the step that
// failed), that the process survives, that nothing is left alive after
// FreeNolvSys, and that repeating the failing calls leaks nothing. The
// matrix is printed.
#include <cstdio>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "support/component_test.h"
#include "support/failing_imports.h"
#include "support/host_clipboard.h"
#include "support/import_patch.h"
#include "support/soak.h"
#include "wide_text.h"

namespace {

// Long enough that every text conversion takes its heap path.
const std::string kLongText(5000, 't');
const std::wstring kLongWide(kLongText.begin(), kLongText.end());

// What an export did, in one comparable line.
using Outcome = std::string;

std::string ClipboardOutcome() {
    const auto text = HostClipboardText();
    return text ? "clipboard=\"" + *text + "\"" : "clipboard=none";
}

// A buffer export's text (a UTF-16 one's as ANSI text), the size it
// reported and the clipboard, which it must not touch.
// call(buffer, size, &needed) is the export's call into a stale buffer.
template <class Char, class Call>
std::string BufferOutcome(Call call) {
    Char buffer[32] = {'s', 't', 'a', 'l', 'e'};
    int needed = -1;
    const int result = call(buffer, 32, &needed);
    std::string text;
    for (const Char* c = buffer; *c != Char(); ++c) text += static_cast<char>(*c);
    return "result=" + std::to_string(result) + " buffer=\"" + text +
           "\" needed=" + std::to_string(needed) + " " + ClipboardOutcome();
}

// The reason Nolv_Lib_GetLastFailureW gives for the export's call: "none",
// or the HRESULT and the whole line.
std::string ReasonOutcome(WrapperLibrary& w) {
    wchar_t text[1100];
    const int status = w.GetLastFailureW(text, 1100, nullptr);
    if (status == 0) return "none";
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%08X ", static_cast<unsigned>(status));
    return hex + Utf8(text);
}

int InvocationsOf(const wchar_t* method) {
    int calls = 0;
    for (int i = 0; i < ProbeCallCount(); ++i) {
        const ProbeCall* call = ProbeGetCall(i);
        if (call != nullptr && call->kind == PROBE_INVOKE && call->name != nullptr &&
            std::wstring(call->name) == method)
            ++calls;
    }
    return calls;
}

int shownBoxes = 0;
int WINAPI CountingMessageBoxA(HWND, LPCSTR, LPCSTR, UINT) {
    ++shownBoxes;
    return IDOK;
}

struct ExportCase {
    const char* name;
    const char* column;  // short name for the printed matrix
    // Runs the export with patch in force (made by the caller-supplied
    // function, so that only the export's own calls see the failure).
    std::function<Outcome(WrapperLibrary&, const std::function<void()>&)> run;
    Outcome normal;
    Outcome fallback;
    // The readers of the record: the reason they leave is the one made
    // before the failure was injected, whatever the failure.
    const char* keptReason = nullptr;
};

// A record made before the failure is injected, for the readers to read.
void RecordNullPointerFailure(WrapperLibrary& w) {
    int second = 0;
    w.getNumberStrBuf("a", "b", nullptr, &second, nullptr, 0, nullptr);
}
constexpr char kNullPointerReason[] =
    "0x80004003 Nolv_Lib_getNumberStrBuf: the argument first is a null pointer: 0x80004003";

// Loads both components (outside the failure) unless the export is one of
// the lifetime functions, which set up their own state.
Outcome WithLoaded(WrapperLibrary& w, const std::function<void()>& inject,
                   const std::function<Outcome()> call) {
    EXPECT_EQ(w.LoadNolvSys(), 1);
    EXPECT_EQ(w.LoadSivatSys(), 1);
    inject();
    return call();
}

std::vector<ExportCase> Exports() {
    using Inject = std::function<void()>;
    return {
        {"LoadNolvSys", "LoadN",
         [](WrapperLibrary& w, const Inject& inject) {
             w.FreeNolvSys();
             inject();
             return "result=" + std::to_string(w.LoadNolvSys());
         },
         "result=1", "result=0"},
        {"LoadSivatSys", "LoadS",
         [](WrapperLibrary& w, const Inject& inject) {
             w.FreeNolvSys();
             inject();
             return "result=" + std::to_string(w.LoadSivatSys());
         },
         "result=1", "result=0"},
        {"FreeNolvSys", "Free",
         [](WrapperLibrary& w, const Inject& inject) {
             EXPECT_EQ(w.LoadNolvSys(), 1);
             inject();
             w.FreeNolvSys();
             return "live=" + std::to_string(ProbeLiveObjects());
         },
         "live=0", "live=0"},
        {"Nolv_Lib_getNumberStrRZ", "Num",
         [](WrapperLibrary& w, const Inject& inject) {
             return WithLoaded(w, inject, [&] {
                 int first = 1;
                 int second = 2;
                 const int sum = w.getNumberStrRZ(kLongText.c_str(), "b", &first, &second);
                 return "result=" + std::to_string(sum) + " " + ClipboardOutcome();
             });
         },
         "result=7 clipboard=\"NS-3-4\"", "result=0 clipboard=\"\""},
        {"Nolv_Lib_getPartsNameListRZClip", "List",
         [](WrapperLibrary& w, const Inject& inject) {
             return WithLoaded(w, inject, [&] {
                 const int fields = w.getPartsNameListRZClip(kLongText.c_str(), 3);
                 return "result=" + std::to_string(fields) + " " + ClipboardOutcome();
             });
         },
         "result=3 clipboard=\"bolt,nut,washer\"", "result=0 clipboard=\"\""},
        {"Sivat_Lib_GetSivatMode", "Mode",
         [](WrapperLibrary& w, const Inject& inject) {
             return WithLoaded(w, inject, [&] {
                 return "result=" + std::to_string(w.GetSivatMode(kLongText.c_str()));
             });
         },
         "result=2", "result=-1"},
        {"Nolv_Lib_AboutBox", "About",
         [](WrapperLibrary& w, const Inject& inject) {
             return WithLoaded(w, inject, [&] {
                 w.AboutBox();
                 return "calls=" + std::to_string(InvocationsOf(L"AboutBox"));
             });
         },
         "calls=1", "calls=0"},
        {"Nolv_Lib_SivatAboutBox", "SAbout",
         [](WrapperLibrary& w, const Inject& inject) {
             return WithLoaded(w, inject, [&] {
                 w.SivatAboutBox();
                 return "calls=" + std::to_string(InvocationsOf(L"About"));
             });
         },
         "calls=1", "calls=0"},
        {"Nolv_Lib_editSettingData", "Edit",
         [](WrapperLibrary& w, const Inject& inject) {
             return WithLoaded(w, inject, [&] {
                 w.editSettingData();
                 return "calls=" + std::to_string(InvocationsOf(L"editSettingData"));
             });
         },
         "calls=1", "calls=0"},
        {"Nolv_Lib_setSettingDataFileName", "SetFile",
         [](WrapperLibrary& w, const Inject& inject) {
             return WithLoaded(w, inject, [&] {
                 w.setSettingDataFileName(kLongText.c_str());
                 return "calls=" + std::to_string(InvocationsOf(L"setSettingDataFileName"));
             });
         },
         "calls=1", "calls=0"},
        {"Nolv_Lib_getNumberStrBuf", "NumB",
         [](WrapperLibrary& w, const Inject& inject) {
             return WithLoaded(w, inject, [&] {
                 int first = 1;
                 int second = 2;
                 return BufferOutcome<char>([&](char* buffer, int size, int* needed) {
                     return w.getNumberStrBuf(kLongText.c_str(), "b", &first, &second, buffer, size, needed);
                 });
             });
         },
         "result=7 buffer=\"NS-3-4\" needed=7 clipboard=\"previous content\"",
         "result=0 buffer=\"\" needed=1 clipboard=\"previous content\""},
        {"Nolv_Lib_getNumberStrBufW", "NumW",
         [](WrapperLibrary& w, const Inject& inject) {
             return WithLoaded(w, inject, [&] {
                 int first = 1;
                 int second = 2;
                 return BufferOutcome<wchar_t>([&](wchar_t* buffer, int size, int* needed) {
                     return w.getNumberStrBufW(kLongWide.c_str(), L"b", &first, &second, buffer, size, needed);
                 });
             });
         },
         "result=7 buffer=\"NS-3-4\" needed=7 clipboard=\"previous content\"",
         "result=0 buffer=\"\" needed=1 clipboard=\"previous content\""},
        {"Nolv_Lib_getPartsNameListBuf", "ListB",
         [](WrapperLibrary& w, const Inject& inject) {
             return WithLoaded(w, inject, [&] {
                 return BufferOutcome<char>([&](char* buffer, int size, int* needed) {
                     return w.getPartsNameListBuf(kLongText.c_str(), "in", 3, buffer, size, needed);
                 });
             });
         },
         "result=3 buffer=\"bolt,nut,washer\" needed=16 clipboard=\"previous content\"",
         "result=0 buffer=\"\" needed=1 clipboard=\"previous content\""},
        {"Nolv_Lib_getPartsNameListBufW", "ListW",
         [](WrapperLibrary& w, const Inject& inject) {
             return WithLoaded(w, inject, [&] {
                 return BufferOutcome<wchar_t>([&](wchar_t* buffer, int size, int* needed) {
                     return w.getPartsNameListBufW(kLongWide.c_str(), L"in", 3, buffer, size, needed);
                 });
             });
         },
         "result=3 buffer=\"bolt,nut,washer\" needed=16 clipboard=\"previous content\"",
         "result=0 buffer=\"\" needed=1 clipboard=\"previous content\""},
        {"Sivat_Lib_GetSivatModeW", "ModeW",
         [](WrapperLibrary& w, const Inject& inject) {
             return WithLoaded(w, inject, [&] {
                 return "result=" + std::to_string(w.GetSivatModeW(kLongWide.c_str()));
             });
         },
         "result=2", "result=-1"},
        {"Nolv_Lib_setSettingDataFileNameW", "SetFileW",
         [](WrapperLibrary& w, const Inject& inject) {
             return WithLoaded(w, inject, [&] {
                 w.setSettingDataFileNameW(kLongWide.c_str());
                 return "calls=" + std::to_string(InvocationsOf(L"setSettingDataFileName"));
             });
         },
         "calls=1", "calls=0"},
        {"Nolv_Lib_GetLastFailure", "Why",
         [](WrapperLibrary& w, const Inject& inject) {
             return WithLoaded(w, [&] { RecordNullPointerFailure(w); inject(); }, [&] {
                 char text[24];
                 const int status = w.GetLastFailure(text, sizeof text, nullptr);
                 return "result=" + std::to_string(status) + " text=\"" + text + "\"";
             });
         },
         "result=-2147467261 text=\"Nolv_Lib_getNumberStrBu\"",
         "result=-2147467261 text=\"\"", kNullPointerReason},
        {"Nolv_Lib_GetLastFailureW", "WhyW",
         [](WrapperLibrary& w, const Inject& inject) {
             return WithLoaded(w, [&] { RecordNullPointerFailure(w); inject(); }, [&] {
                 wchar_t text[24];
                 const int status = w.GetLastFailureW(text, 24, nullptr);
                 return "result=" + std::to_string(status) + " text=\"" +
                        Utf8(text) + "\"";
             });
         },
         "result=-2147467261 text=\"Nolv_Lib_getNumberStrBu\"",
         "result=-2147467261 text=\"\"", kNullPointerReason},
        {"Nolv_Lib_WrapperAboutBox", "WAbout",
         [](WrapperLibrary& w, const Inject& inject) {
             shownBoxes = 0;
             const ImportPatch box(w.module, "user32.dll", "MessageBoxA",
                                   reinterpret_cast<void*>(&CountingMessageBoxA));
             inject();
             w.WrapperAboutBox();
             return "shown=" + std::to_string(shownBoxes);
         },
         "shown=1", "shown=0"},
    };
}

// Outcomes other than the normal one that a failure leads to, per export;
// "F" stands for the export's fallback.
using Expected = std::map<std::string, Outcome>;

// The reason the library gives for a failure: its HRESULT and the words
// of the step that failed.
struct ExpectedReason {
    const char* status;
    const char* words;
};

struct MatrixRow {
    InjectedFailure failure;
    Expected expected;
    // The reason of every export whose outcome the failure changes, and of
    // those listed in alsoExplained, whose outcome hides a failure the
    // library met (the probe ignores the clipboard input it could not read).
    ExpectedReason reason = {};
    std::set<std::string> alsoExplained = {};
    // Some failures release nothing by their nature (a VariantClear that
    // fails has not freed the string); their rows are not leak-checked.
    bool leakChecked = true;
};

const char kClipboardKept[] = "result=7 clipboard=\"previous content\"";
const char kListNotDelivered[] = "result=0 clipboard=\"previous content\"";

std::vector<MatrixRow> Matrix() {
    const Expected ansiConversionFails = {{"Num", "F"},  {"List", "F"}, {"Mode", "F"},
                                          {"SetFile", "F"}, {"NumB", "F"}, {"ListB", "F"}};
    const ExpectedReason noMemory = {"0x8007000E", ": out of memory: "};
    const ExpectedReason clipboardNotWritten = {"0x8007000E", ": the clipboard could not be written: "};
    const ExpectedReason clipboardNotRead = {"0x80070006", ": the clipboard could not be read: "};
    const ExpectedReason noProgId = {"0x80040154", "'s ProgID "};
    // The UTF-16 exports copy the host's text with SysAllocString; they need
    // no heap buffer of their own.
    Expected everyConversionFails = ansiConversionFails;
    for (const char* column : {"NumW", "ListW", "ModeW", "SetFileW"}) everyConversionFails[column] = "F";
    return {
        {INJECTED_FAILURE("kernel32.dll", MultiByteToWideChar), ansiConversionFails,
         {"0x80070459", "does not convert from the ANSI code page: "}},
        {INJECTED_FAILURE("kernel32.dll", WideCharToMultiByte),
         {{"Num", "F"}, {"List", "F"}, {"NumB", "F"}, {"ListB", "F"}, {"Why", "F"}},
         {"0x80070459", "does not convert to the ANSI code page: "}},
        {INJECTED_FAILURE("oleaut32.dll", SysAllocString), everyConversionFails, noMemory},
        {INJECTED_FAILURE("msvcrt.dll", malloc), ansiConversionFails, noMemory},
        {INJECTED_FAILURE("kernel32.dll", GlobalAlloc),
         {{"Num", kClipboardKept}, {"List", kListNotDelivered}}, clipboardNotWritten},
        {INJECTED_FAILURE("kernel32.dll", GlobalLock), {}, clipboardNotRead, {"List"}},
        {INJECTED_FAILURE("kernel32.dll", GlobalSize), {}, clipboardNotRead, {"List"}},
        {INJECTED_FAILURE("kernel32.dll", GlobalUnlock), {}},
        {INJECTED_FAILURE("user32.dll", OpenClipboard),
         {{"Num", kClipboardKept}, {"List", kListNotDelivered}},
         {"0x800401D0", ": the clipboard could not be opened: 0x800401D0 (OpenClipboard Failed); "
                        "held by another program; tried for "}},
        {INJECTED_FAILURE("user32.dll", EmptyClipboard), {}},
        {INJECTED_FAILURE("user32.dll", SetClipboardData),
         {{"Num", "result=7 clipboard=none"}, {"List", "result=0 clipboard=none"}},
         {"0x8007058A", ": the clipboard could not be written: "}},
        {INJECTED_FAILURE("user32.dll", IsClipboardFormatAvailable), {}},
        {INJECTED_FAILURE("user32.dll", GetClipboardData), {},
         {"0x8007058A", ": the clipboard could not be read: "}, {"List"}},
        {INJECTED_FAILURE("user32.dll", CloseClipboard), {}},
        {INJECTED_FAILURE("ole32.dll", CoInitialize), {{"LoadN", "F"}, {"LoadS", "F"}},
         {"0x8007000E", "COM could not be initialised on this thread to create the "}},
        {INJECTED_FAILURE("ole32.dll", CLSIDFromProgID), {{"LoadN", "F"}, {"LoadS", "F"}}, noProgId},
        {INJECTED_FAILURE("ole32.dll", CoCreateInstance), {{"LoadN", "F"}, {"LoadS", "F"}},
         {"0x8007000E", ") could not be created: "}},
        {INJECTED_FAILURE("oleaut32.dll", VariantChangeType),
         {{"Num", "result=7 clipboard=\"\""},
          {"List", "result=0 clipboard=\"\""},
          {"Mode", "F"},
          {"NumB", "result=7 buffer=\"\" needed=1 clipboard=\"previous content\""},
          {"NumW", "result=7 buffer=\"\" needed=1 clipboard=\"previous content\""},
          {"ListB", "result=0 buffer=\"\" needed=1 clipboard=\"previous content\""},
          {"ListW", "result=0 buffer=\"\" needed=1 clipboard=\"previous content\""},
          {"ModeW", "F"}},
         {"0x80020005", " does not convert to what the library reads: "}},
        {INJECTED_FAILURE("oleaut32.dll", VariantClear), {}, {}, {}, false},
        {INJECTED_FAILURE("user32.dll", MessageBoxA), {{"WAbout", "F"}},
         {"0x80070008", "Nolv_Lib_WrapperAboutBox: the message box could not be shown: "}},
        {INJECTED_FAILURE("user32.dll", GetActiveWindow), {}},
    };
}

// Imports whose failure cannot reach an export, by reason.
const std::map<std::string, std::set<std::string>> kNotInjected = {
    {"reports no failure (length, copy and compare routines; void releases)",
     {"lstrlenA", "lstrlenW", "lstrcpyA", "memchr", "memcmp", "memcpy", "memmove", "memset",
      "strlen", "strcmp", "strncmp", "strchr", "wcslen", "_ismbblead", "GetLastError",
      "SetLastError", "Sleep", "SysFreeString", "VariantInit", "CoUninitialize", "free"}},
    {"called only to free a block the clipboard refused; a failure there leaves nothing the "
     "library could still release",
     {"GlobalFree"}},
    {"the 64-bit library's surrogate lookup, reached only when in-process creation finds no "
     "class (surrogate_session_test runs it): any failure there reads as no surrogate set up, "
     "and the load returns 0 as it does without one",
     {"StringFromGUID2", "RegOpenKeyExW", "RegQueryValueExW", "RegCloseKey"}},
    {"each thread's own state, made at the thread's first call (reentry_test makes that fail on a "
     "fresh thread: the call gives its fallback and says why) and freed with the thread",
     {"HeapAlloc", "HeapFree", "GetProcessHeap"}},
    {"starting an isolated component's own process, only after Nolv_Lib_SetIsolation (isolation_test "
     "makes CreateProcessW and CoUnmarshalInterface fail under a load and a restart: each such "
     "failure gives the load 0, or the restarting call its fallback, with the step's reason; a job "
     "that cannot be made is done without, the surrogate watching the host itself)",
     {"AssignProcessToJobObject", "CreateJobObjectW", "SetInformationJobObject", "CreateEventW",
      "CreatePipe", "CreateProcessW", "CreateThreadpoolTimer", "InitializeProcThreadAttributeList",
      "UpdateProcThreadAttribute", "DeleteProcThreadAttributeList", "SetHandleInformation",
      "GetModuleFileNameW", "GetModuleHandleExW", "ReadFile", "CoUnmarshalInterface",
      "CreateStreamOnHGlobal"}},
    {"keeping an isolated component's time limit and ending its process: no failure the library "
     "could act on (isolation_test runs the limit and the ends)",
     {"SetThreadpoolTimer", "WaitForThreadpoolTimerCallbacks", "CloseThreadpoolTimer",
      "GetExitCodeProcess", "TerminateProcess"}},
    {"load-time only (library entry, the ANSI code page's lead bytes), before any export runs; "
     "without the code page's table the buffer forms cut as a single-byte code page would",
     {"DisableThreadLibraryCalls", "GetACP", "GetCPInfo"}},
    {"the failure record's words: a failure there only leaves words out of a reason (the system's "
     "message, the name of the program holding the clipboard); no result depends on them",
     {"FormatMessageW", "GetOpenClipboardWindow", "GetWindowThreadProcessId",
      "QueryFullProcessImageNameW"}},
    {"the slot of the threads' states: allocated when the library loads and freed when it unloads; reading "
     "and writing a valid slot reports no failure",
     {"TlsAlloc", "TlsFree", "TlsGetValue", "TlsSetValue"}},
    {"the ledger of the runtime's own system objects: its lock reports no failure",
     {"AcquireSRWLockExclusive", "ReleaseSRWLockExclusive"}},
    {"runtime support linked statically (start-up, locks, thread-local storage, exception "
     "unwinding, diagnostics output); not on any export's own path",
     {"AddVectoredExceptionHandler", "CloseHandle", "CreateEventA", "CreateSemaphoreA", "CreateSemaphoreW",
      "DeleteCriticalSection", "DuplicateHandle", "EnterCriticalSection", "FreeLibrary",
      "GetCurrentProcess", "GetCurrentProcessId", "GetCurrentThread", "GetCurrentThreadId",
      "GetHandleInformation", "GetModuleHandleA", "GetModuleHandleW", "GetProcAddress",
      "GetProcessAffinityMask", "GetSystemTimeAsFileTime", "GetThreadContext",
      "GetThreadPriority", "GetTickCount64", "InitializeCriticalSection", "IsDBCSLeadByteEx",
      "IsDebuggerPresent", "LeaveCriticalSection", "LoadLibraryA", "LoadLibraryW", "LocalFree",
      "OpenProcess", "OutputDebugStringA", "RaiseException", "ReleaseSemaphore",
      "RemoveVectoredExceptionHandler", "ResetEvent", "ResumeThread", "SetEvent",
      "SetProcessAffinityMask", "SetThreadContext", "SetThreadPriority", "SuspendThread",
      "TryEnterCriticalSection", "VirtualProtect",
      "VirtualQuery", "WaitForMultipleObjects", "WaitForSingleObject", "RtlCaptureContext",
      "RtlLookupFunctionEntry", "RtlUnwindEx", "RtlVirtualUnwind", "__C_specific_handler",
      "__mb_cur_max", "___mb_cur_max_func", "___lc_codepage_func", "__iob_func", "_iob",
      "_amsg_exit", "_beginthreadex", "_close", "_endthreadex", "_errno", "_initterm", "_lock",
      "_read", "_setjmp", "_setjmp3", "_strdup", "_ultoa", "_unlock", "abort", "atoi",
      "calloc", "exit", "fprintf", "fputc", "fputs", "fputwc", "fwprintf", "fwrite", "localeconv", "longjmp",
      "printf", "realloc", "setlocale", "signal", "strerror", "vfprintf"}},
};

class FaultMatrixTest : public ComponentTest {
protected:
    void SetUp() override {
        ComponentTest::SetUp();
        ProbeSetRecording(1);
    }

    // Fresh scripts and clipboard for one run of one export.
    static void Prepare() {
        ProbeReset();
        for (const wchar_t* method :
             {L"getNumberStr", L"getNameListCSV", L"AboutBox", L"editSettingData",
              L"setSettingDataFileName"})
            ProbeDefineMethod(PROBE_NOLV, method);
        for (const wchar_t* method : {L"getSivatMode", L"About"}) ProbeDefineMethod(PROBE_SIVAT, method);
        ScriptTextResult(PROBE_NOLV, L"getNumberStr", L"NS-3-4");
        ProbeSetIntegerOut(PROBE_NOLV, L"getNumberStr", 2, 3);
        ProbeSetIntegerOut(PROBE_NOLV, L"getNumberStr", 3, 4);
        ProbeSetTextOut(PROBE_NOLV, L"getNumberStr", 0, kLongWide.c_str());
        ScriptTextResult(PROBE_NOLV, L"getNameListCSV", L"bolt,nut,washer");
        ScriptIntegerResult(PROBE_SIVAT, L"getSivatMode", 2);
        SetHostClipboardText("previous content");
    }

    Outcome Run(const ExportCase& e, const InjectedFailure* failure) {
        Prepare();
        std::unique_ptr<ImportPatch> patch;
        const Outcome outcome = e.run(wrapper(), [&] {
            failing::reached = 0;
            if (failure != nullptr) patch = std::make_unique<ImportPatch>(wrapper().module, *failure);
        });
        patch.reset();
        reason_ = ReasonOutcome(wrapper());  // before FreeNolvSys starts a record of its own
        wrapper().FreeNolvSys();
        EXPECT_EQ(ProbeLiveObjects(), 0) << e.name << " left a component alive";
        return outcome;
    }

    // The reason the library gave for the last Run's call.
    std::string reason_;
};

// The reason a row's failure should give under an export: none where the
// outcome is the normal one, unless the row says the export met the
// failure all the same.
void ExpectReason(const std::string& reason, const MatrixRow& row, const ExportCase& e,
                  bool changedOutcome) {
    if (e.keptReason != nullptr) {
        EXPECT_EQ(reason.rfind(e.keptReason, 0), 0u) << e.name << " changed the record: " << reason;
        return;
    }
    const bool explained = changedOutcome || row.alsoExplained.count(e.column) > 0;
    if (!explained) {
        EXPECT_EQ(reason, "none") << row.failure.function << " under " << e.name;
        return;
    }
    ASSERT_NE(row.reason.status, nullptr) << row.failure.function << " has no expected reason";
    EXPECT_EQ(reason.rfind(row.reason.status + std::string(" ") + e.name + ": ", 0), 0u)
        << row.failure.function << " under " << e.name << ": " << reason;
    EXPECT_NE(reason.find(row.reason.words), std::string::npos)
        << row.failure.function << " under " << e.name << ": " << reason;
}

}  // namespace

TEST_F(FaultMatrixTest, EveryImportIsInjectedOrAccountedFor) {
    std::set<std::string> injected;
    for (const MatrixRow& row : Matrix()) injected.insert(row.failure.function);
    std::set<std::string> accounted = injected;
    for (const auto& [reason, functions] : kNotInjected)
        accounted.insert(functions.begin(), functions.end());

    for (const ImportedFunction& import : ListImports(wrapper().module))
        EXPECT_EQ(accounted.count(import.function), 1u)
            << import.dll << "!" << import.function << " is neither injected nor explained";
    std::set<std::string> imported;
    for (const ImportedFunction& import : ListImports(wrapper().module)) imported.insert(import.function);
    for (const std::string& function : injected)
        EXPECT_EQ(imported.count(function), 1u) << function << " is injected but not imported";
}

TEST_F(FaultMatrixTest, EveryFailureGivesTheDocumentedOutcome) {
    const std::vector<ExportCase> exports = Exports();
    for (const ExportCase& e : exports) {
        EXPECT_EQ(Run(e, nullptr), e.normal) << e.name;
        if (e.keptReason == nullptr) {
            EXPECT_EQ(reason_, "none") << e.name;
        }
    }

    std::printf("%-28s", "failing import");
    for (const ExportCase& e : exports) std::printf(" %-7s", e.column);
    std::printf("\n");
    for (const MatrixRow& row : Matrix()) {
        std::printf("%-28s", row.failure.function);
        for (const ExportCase& e : exports) {
            const Outcome outcome = Run(e, &row.failure);
            const bool reached = failing::reached > 0;
            const auto it = row.expected.find(e.column);
            const Outcome expected =
                it == row.expected.end() ? e.normal : it->second == "F" ? e.fallback : it->second;
            EXPECT_EQ(outcome, expected) << row.failure.function << " under " << e.name;
            ExpectReason(reason_, row, e, it != row.expected.end());
            // '.' not reached, '=' reached with the normal outcome, 'F' the
            // export's fallback, 'D' another documented outcome.
            const char* cell = !reached ? "." : outcome == e.normal ? "=" : outcome == e.fallback ? "F" : "D";
            std::printf(" %-7s", cell);
        }
        std::printf("\n");
    }
    for (const auto& [reason, functions] : kNotInjected)
        std::printf("not injected (%zu): %s\n", functions.size(), reason.c_str());
}

TEST_F(FaultMatrixTest, RepeatedFailuresLeakNothing) {
    const std::vector<ExportCase> exports = Exports();
    auto round = [&](int repeats) {
        for (const MatrixRow& row : Matrix()) {
            // A held clipboard costs half a second per call; its paths are
            // the same as GlobalAlloc's and SetClipboardData's.
            if (!row.leakChecked || std::string(row.failure.function) == "OpenClipboard") continue;
            for (int i = 0; i < repeats; ++i)
                for (const ExportCase& e : exports) Run(e, &row.failure);
        }
    };
    ExpectNoLeak(GrowthOver(1, 5, [&] { round(2); }), 512 * 1024);
}

// Allocation failure at every allocation an export makes, one at a time:
// each run ends in the export's normal outcome or its fallback.
namespace {
int allocationsLeft = -1;  // fail when it reaches 0; -1: never
int allocationsMade = 0;
void* __cdecl FailingNthMalloc(size_t size) {
    static const auto real = reinterpret_cast<void* (__cdecl*)(size_t)>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"msvcrt.dll"), "malloc")));
    ++allocationsMade;
    if (allocationsLeft >= 0 && allocationsLeft-- == 0) {
        ++failing::reached;
        return nullptr;
    }
    return real(size);
}
const InjectedFailure kNthMalloc = {"msvcrt.dll", "malloc", reinterpret_cast<void*>(&FailingNthMalloc)};
}  // namespace

TEST_F(FaultMatrixTest, AllocationFailureAtEachPointGivesNormalOrFallback) {
    for (const ExportCase& e : Exports()) {
        int points = 0;
        for (int n = 0;; ++n) {
            allocationsLeft = n;
            allocationsMade = 0;
            const Outcome outcome = Run(e, &kNthMalloc);
            if (allocationsMade <= n) break;  // every allocation point was tried
            ++points;
            EXPECT_TRUE(outcome == e.normal || outcome == e.fallback)
                << e.name << " with allocation " << n + 1 << " failing: " << outcome;
            // Short of memory, the library still says why it fell back.
            if (outcome != e.normal) {
                EXPECT_EQ(reason_.rfind("0x8007000E " + std::string(e.name) + ": out of memory", 0), 0u)
                    << e.name << " with allocation " << n + 1 << " failing: " << reason_;
            }
        }
        allocationsLeft = -1;
        std::printf("%-32s %d allocation points, each survived\n", e.name, points);
    }
}
