// The host's whole lifecycle, as hosts live it: every module we build
// loaded for a call and unloaded again, thousands of times; the components
// loaded and freed thousands of times with the library loaded once (each
// FreeNolvSys ends COM, which unloads the component servers); and the two
// nested. Every result is checked, and the process's handles, free TLS
// slots, windows and committed private memory must be where they were. First, each
// measure is shown to see a leak of its kind planted on purpose.
// NOLV_LIFECYCLE_CYCLES sets the number of cycles of each kind (3000; the
// servers' own, a third of it).
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <windows.h>
#include <oleauto.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "support/failing_imports.h"
#include "support/host_clipboard.h"
#include "support/import_patch.h"
#include "support/process_resources.h"
#include "support/sample_server.h"
#include "support/soak.h"
#include "support/wrapper_library.h"

namespace {

// The host keeps ole32 and oleaut32 loaded, as nearly every Windows
// process that uses COM does. Under Wine, unloading them with the library
// and loading them again costs the platform's own: one handle per cycle
// for ole32 once COM has loaded an in-proc server, about 100 bytes of
// memory per cycle for oleaut32 once an automation string was made.
// C DLLs that only make those platform calls, loaded and unloaded by a host
// that does not keep the two, show the same growth.
const HMODULE keptOle32 = LoadLibraryW(L"ole32.dll");
const HMODULE keptOleaut32 = LoadLibraryW(L"oleaut32.dll");

int Cycles() { return Configured("NOLV_LIFECYCLE_CYCLES", 3000); }

constexpr int kWarmUpCycles = 20;

void ExpectFlatOver(const char* what, int cycles, const std::function<void()>& cycle) {
    const ProcessResources growth = GrowthOver(kWarmUpCycles, cycles, cycle);
    std::printf("%s: %d cycles; %s\n", what, cycles, Describe(growth).c_str());
    ExpectNoLeak(growth, 1024 * 1024);
}

struct Planted {
    const char* kind;
    std::function<void()> plant;    // leaks ten of its kind (or 2 MB)
    std::function<void()> cleanUp;  // gives them back
    std::function<bool(const ProcessResources&)> seen;
};

std::vector<HANDLE> kernelObjects;
std::vector<DWORD> slots;
std::vector<void*> blocks;
std::vector<BSTR> strings;
std::vector<HWND> windows;

DWORD WINAPI EndAtOnce(LPVOID) { return 0; }

HANDLE WINAPI NoSnapshot(DWORD, DWORD) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return INVALID_HANDLE_VALUE;
}

void ThreadsReadWithoutASnapshot() {
    const ImportPatch failing(GetModuleHandleW(nullptr), "kernel32.dll",
                              "CreateToolhelp32Snapshot", reinterpret_cast<void*>(&NoSnapshot));
    OwnThreads();
}

}  // namespace

TEST(ResourceMeasures, SeeALeakOfTheirKindPlantedOnPurpose) {
    const Planted planted[] = {
        {"handles",
         [] {
             for (int i = 0; i < 10; ++i)
                 kernelObjects.push_back(CreateEventW(nullptr, TRUE, FALSE, nullptr));
         },
         [] { for (HANDLE event : kernelObjects) CloseHandle(event); kernelObjects.clear(); },
         [](const ProcessResources& growth) {
             return growth.handles >= 10 && growth.deadCallKinds >= 10;
         }},
        {"inheritable events",
         [] {
             SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
             for (int i = 0; i < 10; ++i)
                 kernelObjects.push_back(CreateEventW(&inheritable, TRUE, FALSE, nullptr));
         },
         [] { for (HANDLE event : kernelObjects) CloseHandle(event); kernelObjects.clear(); },
         [](const ProcessResources& growth) {
             return growth.handles >= 10 && growth.deadCallKinds == 0;
         }},
        // Client ends of pipes: ten whose server end is gone, ten whose
        // server end is kept.
        {"client ends of broken pipes",
         [] {
             for (int i = 0; i < 20; ++i) {
                 const std::wstring name = L"\\\\.\\pipe\\planted-" +
                                           std::to_wstring(GetCurrentProcessId()) + L"-" +
                                           std::to_wstring(i);
                 const HANDLE server =
                     CreateNamedPipeW(name.c_str(), PIPE_ACCESS_DUPLEX, 0, 1, 0, 0, 0, nullptr);
                 kernelObjects.push_back(CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                                     nullptr, OPEN_EXISTING, 0, nullptr));
                 if (i < 10)
                     CloseHandle(server);
                 else
                     kernelObjects.push_back(server);
             }
         },
         [] { for (HANDLE pipe : kernelObjects) CloseHandle(pipe); kernelObjects.clear(); },
         [](const ProcessResources& growth) {
             return growth.handles >= 30 && growth.deadCallKinds >= 10 &&
                    growth.deadCallKinds < 20;
         }},
        {"handles other than events",
         [] {
             for (int i = 0; i < 10; ++i)
                 kernelObjects.push_back(CreateMutexW(nullptr, FALSE, nullptr));
         },
         [] { for (HANDLE mutex : kernelObjects) CloseHandle(mutex); kernelObjects.clear(); },
         [](const ProcessResources& growth) {
             return growth.handles >= 10 && growth.deadCallKinds == 0;
         }},
        {"TLS slots",
         [] { for (int i = 0; i < 10; ++i) slots.push_back(TlsAlloc()); },
         [] { for (DWORD slot : slots) TlsFree(slot); slots.clear(); },
         [](const ProcessResources& growth) { return growth.freeTlsSlots <= -10; }},
        {"heap memory",
         [] {
             for (int i = 0; i < 64; ++i) blocks.push_back(std::calloc(32 * 1024, 1));
         },
         [] { for (void* block : blocks) std::free(block); blocks.clear(); },
         [](const ProcessResources& growth) { return growth.privateMemory >= 1024 * 1024; }},
        // What a leak per call looks like: many small blocks.
        {"small heap blocks",
         [] {
             for (int i = 0; i < 20000; ++i) blocks.push_back(std::malloc(100));
         },
         [] { for (void* block : blocks) std::free(block); blocks.clear(); },
         [](const ProcessResources& growth) { return growth.privateMemory >= 1024 * 1024; }},
        {"automation strings",
         [] {
             for (int i = 0; i < 64; ++i) strings.push_back(SysAllocStringLen(nullptr, 16 * 1024));
         },
         [] { for (BSTR text : strings) SysFreeString(text); strings.clear(); },
         [](const ProcessResources& growth) { return growth.privateMemory >= 1024 * 1024; }},
        {"windows",
         [] {
             for (int i = 0; i < 10; ++i)
                 windows.push_back(CreateWindowExW(0, L"STATIC", L"planted", 0, 0, 0, 0, 0,
                                                   HWND_MESSAGE, nullptr, nullptr, nullptr));
         },
         [] { for (HWND window : windows) DestroyWindow(window); windows.clear(); },
         [](const ProcessResources& growth) { return growth.windows >= 10; }},
    };
    for (const Planted& leak : planted) {
        SCOPED_TRACE(leak.kind);
        const ProcessResources before = CurrentResources();
        leak.plant();
        const ProcessResources growth = Growth(before, CurrentResources());
        leak.cleanUp();
        EXPECT_TRUE(leak.seen(growth)) << Describe(growth);
    }
}

// A thread that ends during the measured work reads as nothing kept, though
// Wine frees an ended thread's stack only when the next thread ends: every
// reading runs a thread of its own to its end first.
TEST(ResourceMeasures, AThreadEndedDuringTheWorkReadsAsNothingKept) {
    const ProcessResources growth = GrowthOver(0, 1, [] {
        const HANDLE thread = CreateThread(nullptr, 0, EndAtOnce, nullptr, 0, nullptr);
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
    });
    EXPECT_LT(growth.privateMemory, 512 * 1024) << Describe(growth);
}

// A reading that cannot see the threads fails the test: read as none, it
// would never wait for the platform's threads to end.
TEST(ResourceMeasures, AReadingThatCannotSeeTheThreadsFails) {
    EXPECT_NONFATAL_FAILURE(ThreadsReadWithoutASnapshot(), "no snapshot of the threads");
}

// A C++ module built as ours are but without the runtime ledger leaks on
// every load and unload that throws once: the very fault the lifecycle
// checks below are for.
TEST(ResourceMeasures, SeeTheLeakOfAModuleThatKeepsItsRuntimeObjects) {
    const std::wstring path = BesideProgram(L"unreleased_module.dll");
    const ProcessResources growth = GrowthOver(kWarmUpCycles, 40, [&] {
        HMODULE module = LoadLibraryW(path.c_str());
        ASSERT_NE(module, nullptr);
        auto throwOnce = reinterpret_cast<int (*)()>(
            reinterpret_cast<void*>(GetProcAddress(module, "ThrowOnce")));
        ASSERT_NE(throwOnce, nullptr);
        EXPECT_EQ(throwOnce(), 1);
        FreeLibrary(module);
    });
    EXPECT_LE(growth.freeTlsSlots, -40) << Describe(growth);
    EXPECT_GE(growth.handles, 40) << Describe(growth);
}

// A host that loads the library for one call and unloads it again; the
// sample servers and the probe loaded and unloaded likewise. The library's
// call raises inside its guard each time (a failing SysAllocString), so
// exception handling's runtime objects are made every cycle.
TEST(Lifecycle, EveryModuleLoadedForACallAndUnloaded) {
    ExpectFlatOver("library", Cycles(), [] {
        WrapperLibrary wrapper;
        EXPECT_EQ(wrapper.GetSivatMode("x"), -3) << "no component: method not found";
        const ImportPatch failing(wrapper.module, kFailingSysAllocString);
        EXPECT_EQ(wrapper.GetSivatMode("x"), -1) << "the guard's fallback";
    });

    // The probe is this program's import; a copy of it is a module of its own.
    wchar_t temporary[MAX_PATH];
    GetTempPathW(MAX_PATH, temporary);
    const std::wstring probeCopy = std::wstring(temporary) + L"probe_cycled.dll";
    ASSERT_TRUE(CopyFileW(BesideProgram(L"probe_component.dll").c_str(), probeCopy.c_str(), FALSE));
    struct Server {
        std::wstring path;
        HRESULT canUnloadNow;  // the probe never says it can
    } servers[] = {
        {BesideProgram(L"nolv_sample.dll"), S_OK},
        {BesideProgram(L"sivat_sample.dll"), S_OK},
        {probeCopy, S_FALSE},
    };
    for (const Server& server : servers) {
        SCOPED_TRACE(std::string(server.path.begin(), server.path.end()));
        ExpectFlatOver("component server", Cycles() / 3, [&] {
            HMODULE module = LoadLibraryW(server.path.c_str());
            ASSERT_NE(module, nullptr);
            auto entry = reinterpret_cast<HRESULT(WINAPI*)()>(
                reinterpret_cast<void*>(GetProcAddress(module, "DllCanUnloadNow")));
            ASSERT_NE(entry, nullptr);
            EXPECT_EQ(entry(), server.canUnloadNow);
            FreeLibrary(module);
        });
    }
    DeleteFileW(probeCopy.c_str());
}

namespace {
int tlsGetCalls = 0;
LPVOID(WINAPI* realTlsGetValue)(DWORD) = nullptr;
LPVOID WINAPI CountingTlsGetValue(DWORD slot) {
    ++tlsGetCalls;
    return realTlsGetValue(slot);
}

// TlsGetValue calls one guarded call makes (finding the thread's state),
// checking its result and its fallback on the way.
int TlsGetCallsOfAGuardedCall() {
    WrapperLibrary wrapper;
    const ImportPatch counting(wrapper.module, "kernel32.dll", "TlsGetValue",
                               reinterpret_cast<void*>(&CountingTlsGetValue));
    realTlsGetValue = reinterpret_cast<LPVOID(WINAPI*)(DWORD)>(counting.original());
    EXPECT_EQ(wrapper.GetSivatMode("x"), -3) << "no component: method not found";
    tlsGetCalls = 0;
    EXPECT_EQ(wrapper.GetSivatMode("x"), -3) << "the thread's state made: the call itself";
    const int calls = tlsGetCalls;
    const ImportPatch failing(wrapper.module, kFailingSysAllocString);
    EXPECT_EQ(wrapper.GetSivatMode("x"), -1) << "the guard's fallback";
    return calls;
}
}  // namespace

// The library keeps each thread's state behind a TLS slot of its own: one
// of the first 64, which lie in the thread's environment block, is read
// there, with no system call; a later one, which a host that already holds
// the first 64 leaves the library, through the system's calls.
TEST(Lifecycle, CallGuardReachesItsSlotInOrBeyondTheThreadBlock) {
    EXPECT_EQ(TlsGetCallsOfAGuardedCall(), 0) << "a slot in the block";
    std::vector<DWORD> held;
    for (DWORD slot = 0; slot < 64 && (slot = TlsAlloc()) != TLS_OUT_OF_INDEXES;) held.push_back(slot);
    EXPECT_GT(TlsGetCallsOfAGuardedCall(), 0) << "a slot beyond the block";
    for (DWORD slot : held) TlsFree(slot);
}

namespace {

// The samples registered for the test's duration; their servers are not
// kept loaded, so that COM loads and unloads them with each apartment.
class RegisteredSamples {
public:
    RegisteredSamples() { Each("DllRegisterServer"); }
    ~RegisteredSamples() { Each("DllUnregisterServer"); }

private:
    static void Each(const char* entry) {
        for (const wchar_t* file : {L"nolv_sample.dll", L"sivat_sample.dll"})
            EXPECT_EQ(SampleServer(file).Call(entry), S_OK) << entry;
    }
};

// Loads both components, uses every operation with a result, frees them.
void UseTheComponents(WrapperLibrary& wrapper) {
    ASSERT_EQ(wrapper.LoadNolvSys(), 1);
    ASSERT_EQ(wrapper.LoadSivatSys(), 1);
    int first = 3;
    int second = 4;
    const int sum = wrapper.getNumberStrRZ("NS", "X", &first, &second);
    EXPECT_EQ(sum, first + second);
    SetHostClipboardText("Bolt M4, Nut M6, Washer 4, Bolt M6");
    EXPECT_EQ(wrapper.getPartsNameListRZClip("bolt", 0), 2);
    EXPECT_EQ(HostClipboardText(), "Bolt M4,Bolt M6");
    EXPECT_EQ(wrapper.GetSivatMode("ABC-12"), 2);
    wrapper.FreeNolvSys();
}

}  // namespace

TEST(Lifecycle, ComponentsLoadedAndFreedWithTheLibraryLoadedOnce) {
    const RegisteredSamples samples;
    WrapperLibrary wrapper;
    ExpectFlatOver("components", Cycles(), [&] { UseTheComponents(wrapper); });
}

TEST(Lifecycle, LibraryAndComponentsNested) {
    const RegisteredSamples samples;
    ExpectFlatOver("library and components", Cycles(), [] {
        WrapperLibrary wrapper;
        UseTheComponents(wrapper);
    });
}
