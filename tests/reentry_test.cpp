// The host's own code running while a component's method runs (a timer or
// a window procedure while a dialog is up), and hosts with several
// threads: a call owns the component it calls until it returns, COM is
// undone only once the thread's outermost call returns, and each call, and
// each thread, has its own failure record.
#include <functional>
#include <string>
#include <vector>

#include "support/component_test.h"
#include "support/fresh_thread.h"
#include "support/import_patch.h"
#include "wide_text.h"

namespace {

// E_ILLEGAL_METHOD_CALL, which this toolchain's headers lack.
constexpr HRESULT kNotLoaded = static_cast<HRESULT>(0x8000000E);

// Host code for the probe to run from inside a component (ProbeSetHook).
using HostCode = std::function<void()>;
void RunHostCode(void* code) { (*static_cast<HostCode*>(code))(); }
void RunInside(int component, const wchar_t* method, HostCode& code, int where = PROBE_HOOK_IN_CALL) {
    ProbeSetHook(component, method, RunHostCode, &code, where);
}

bool Contains(const std::wstring& text, const wchar_t* part) {
    return text.find(part) != std::wstring::npos;
}

using ReentryTest = ComponentTest;
using ThreadsTest = ComponentTest;

}  // namespace

// A FreeNolvSys from inside a method (the host's timer during the About
// box): the slots are empty at once, the object lives until its method
// returns, and the library's COM initialisation is undone once the outer
// call has returned; a host's own apartment is kept.
TEST_F(ReentryTest, FreeInsideAMethodDestroysNothingWhileItRuns) {
    for (const bool hostApartment : {false, true}) {
        OnFreshThread([&] {
            if (hostApartment) {
                ASSERT_EQ(CoInitialize(nullptr), S_OK);
            }
            ProbeDefineMethod(PROBE_NOLV, L"AboutBox");
            ASSERT_EQ(wrapper().LoadNolvSys(), 1);
            HostCode timer = [&] {
                wrapper().FreeNolvSys();
                EXPECT_EQ(ProbeLiveObjects(), 1) << "the object whose method is running";
                EXPECT_EQ(ThreadComState(), RPC_E_CHANGED_MODE) << "COM undone under a running method";
                wrapper().AboutBox();
                EXPECT_EQ(ReadLastFailure(wrapper()).status, kNotLoaded);
            };
            RunInside(PROBE_NOLV, L"AboutBox", timer);
            wrapper().AboutBox();
            EXPECT_EQ(ProbeDestroyedInCall(), 0);
            EXPECT_EQ(ProbeLiveObjects(), 0);
            EXPECT_EQ(ThreadComState(), hostApartment ? RPC_E_CHANGED_MODE : S_OK) << hostApartment;
            if (hostApartment) CoUninitialize();
        });
    }
}

// A load nested in a creation or in a method replaces the slot's component
// cleanly: one object is left, held once by each of the slot's references.
TEST_F(ReentryTest, LoadInsideACreationOrAMethodLeaksNothing) {
    ProbeDefineMethod(PROBE_NOLV, L"editSettingData");
    for (const wchar_t* inside : {static_cast<const wchar_t*>(nullptr), L"editSettingData"}) {
        HostCode load = [&] {
            ProbeSetHook(PROBE_NOLV, inside, nullptr, nullptr, PROBE_HOOK_IN_CALL);  // once
            EXPECT_EQ(wrapper().LoadNolvSys(), 1);
        };
        RunInside(PROBE_NOLV, inside, load);
        if (inside == nullptr) {
            EXPECT_EQ(wrapper().LoadNolvSys(), 1);
        } else {
            ASSERT_EQ(wrapper().LoadNolvSys(), 1);
            wrapper().editSettingData();
        }
        EXPECT_EQ(ProbeLiveObjects(), 1) << (inside ? "in a method" : "in a creation");
        EXPECT_EQ(ProbeLiveReferences(), 2);
        wrapper().FreeNolvSys();
        EXPECT_EQ(ProbeLiveObjects(), 0);
    }
}

// When an export returns, the record is its own outcome, whatever a call
// nested in it did; the host reads a nested call's outcome right after it.
TEST_F(ReentryTest, EachCallReturnsWithItsOwnRecord) {
    struct Case {
        const char* what;
        bool raises;       // the Sivat method raises an exception (outer call fails)
        bool deferred;     // ... filled in late, the nested calls inside the fill-in
        bool nestedFails;  // the nested call fails
    };
    const Case cases[] = {
        {"a failing call inside a successful one", false, false, true},
        {"a successful call inside a failing one", true, false, false},
        {"a failing call inside a failing one", true, false, true},
        {"calls inside the deferred fill-in", true, true, true},
    };
    ASSERT_EQ(wrapper().LoadNolvSys(), 1);
    ASSERT_EQ(wrapper().LoadSivatSys(), 1);
    for (const Case& c : cases) {
        ProbeReset();
        ScriptTextResult(PROBE_NOLV, L"getNumberStr", L"NS-0001-0002");
        ScriptIntegerResult(PROBE_SIVAT, L"getSivatMode", 2);
        if (c.raises) ProbeSetException(PROBE_SIVAT, L"getSivatMode", L"Sivat", L"mode refused", c.deferred);
        HostCode nested = [&] {
            int first = 1;
            int second = 2;
            char buffer[64];
            const int size = c.nestedFails ? 4 : sizeof buffer;
            wrapper().getNumberStrBuf("a", "b", &first, &second, buffer, size, nullptr);
            const LastFailure read = ReadLastFailure(wrapper());
            EXPECT_EQ(read.status, c.nestedFails ? HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER) : S_OK)
                << c.what << ": the nested call's own outcome, read as it returns";
            EXPECT_TRUE(read.status == S_OK || read.line.rfind(L"Nolv_Lib_getNumberStrBuf: ", 0) == 0)
                << c.what;
        };
        RunInside(PROBE_SIVAT, L"getSivatMode", nested, c.deferred ? PROBE_HOOK_IN_FILL_IN : PROBE_HOOK_IN_CALL);
        EXPECT_EQ(wrapper().GetSivatMode("x"), c.raises ? -1 : 2) << c.what;
        const LastFailure outer = ReadLastFailure(wrapper());
        EXPECT_EQ(outer.status, c.raises ? DISP_E_EXCEPTION : S_OK) << c.what;
        if (c.raises) {
            EXPECT_EQ(outer.line.rfind(L"Sivat_Lib_GetSivatMode: the Sivat component's getSivatMode failed", 0), 0u)
                << c.what;
            EXPECT_TRUE(Contains(outer.line, L"the component says: mode refused (source: Sivat)")) << c.what;
        }
    }
}

// Two threads failing at the same moment, round after round: each reads
// its own reason every time.
TEST_F(ThreadsTest, EachThreadReadsItsOwnReason) {
    struct Thread {
        bool nullFirst;
        int mismatches = 0;
    } threads[2] = {{true}, {false}};
    constexpr int kRounds = 50000;
    HANDLE start = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    auto run = [&](Thread& t) {
        WaitForSingleObject(start, INFINITE);
        const wchar_t* named = t.nullFirst ? L"the argument first is a null pointer" : L"the argument second is a null pointer";
        for (int round = 0; round < kRounds; ++round) {
            int value = 0;
            wrapper().getNumberStrBuf("a", "b", t.nullFirst ? nullptr : &value, t.nullFirst ? &value : nullptr,
                                      nullptr, 0, nullptr);
            const LastFailure read = ReadLastFailure(wrapper());
            if (read.status != E_POINTER || !Contains(read.line, named)) ++t.mismatches;
        }
    };
    std::vector<HANDLE> handles;
    std::vector<std::function<void()>> bodies;
    for (Thread& t : threads) bodies.push_back([&] { run(t); });
    for (auto& body : bodies) handles.push_back(CreateThread(nullptr, 0, fresh_thread::Run, &body, 0, nullptr));
    SetEvent(start);
    WaitForMultipleObjects(static_cast<DWORD>(handles.size()), handles.data(), TRUE, INFINITE);
    for (HANDLE h : handles) CloseHandle(h);
    CloseHandle(start);
    for (const Thread& t : threads) EXPECT_EQ(t.mismatches, 0) << (t.nullFirst ? "first" : "second");
}

// A thread's COM count ends with the thread: a later thread that gets the
// ended loader's id (Windows and Wine reuse them) keeps its own apartment,
// and any number of threads holding loads keep theirs counted.
TEST_F(ThreadsTest, ComCountsEndWithTheirThread) {
    DWORD loader = 0;
    OnFreshThread([&] {
        loader = GetCurrentThreadId();
        ASSERT_EQ(wrapper().LoadNolvSys(), 1);  // ends without FreeNolvSys
    });
    bool reused = false;
    for (int i = 0; i < 2000 && !reused; ++i) {
        OnFreshThread([&] {
            if (GetCurrentThreadId() != loader) return;
            reused = true;
            ASSERT_EQ(CoInitialize(nullptr), S_OK);
            wrapper().FreeNolvSys();
            EXPECT_EQ(ThreadComState(), RPC_E_CHANGED_MODE) << "the ended loader's count undid this thread's COM";
            CoUninitialize();
        });
    }
    ASSERT_TRUE(reused) << "no later thread got the ended loader's id " << loader;

    constexpr int kHolders = 20;
    HANDLE loaded = CreateSemaphoreW(nullptr, 0, kHolders, nullptr);
    HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::function<void()> hold = [&] {
        EXPECT_EQ(wrapper().LoadNolvSys(), 1);
        ReleaseSemaphore(loaded, 1, nullptr);
        WaitForSingleObject(release, INFINITE);
        wrapper().FreeNolvSys();
        EXPECT_EQ(ThreadComState(), S_OK);
    };
    std::vector<HANDLE> holders;
    for (int i = 0; i < kHolders; ++i) {
        holders.push_back(CreateThread(nullptr, 0, fresh_thread::Run, &hold, 0, nullptr));
        WaitForSingleObject(loaded, INFINITE);
    }
    OnFreshThread([&] {
        ASSERT_EQ(wrapper().LoadNolvSys(), 1);
        wrapper().FreeNolvSys();
        EXPECT_EQ(ThreadComState(), S_OK) << "with " << kHolders << " threads holding loads";
    });
    SetEvent(release);
    WaitForMultipleObjects(kHolders, holders.data(), TRUE, INFINITE);
    for (HANDLE h : holders) CloseHandle(h);
    CloseHandle(loaded);
    CloseHandle(release);
}

namespace {
LPVOID WINAPI NoHeap(HANDLE, DWORD, SIZE_T) { return nullptr; }

LONG heapBlocks = 0;
LPVOID WINAPI CountedHeapAlloc(HANDLE heap, DWORD flags, SIZE_T size) {
    LPVOID block = HeapAlloc(heap, flags, size);
    if (block != nullptr) InterlockedIncrement(&heapBlocks);
    return block;
}
BOOL WINAPI CountedHeapFree(HANDLE heap, DWORD flags, LPVOID block) {
    if (block != nullptr) InterlockedDecrement(&heapBlocks);
    return HeapFree(heap, flags, block);
}

// Registers the Sivat probe as free-threaded: COM then makes it in the
// multithreaded apartment and gives a loading thread's apartment a proxy.
void RegisterFreeThreaded() {
    CLSID classId;
    wchar_t text[40];
    ASSERT_EQ(CLSIDFromProgID(kSivatProgId, &classId), S_OK);
    StringFromGUID2(classId, text, 40);
    const std::wstring key = std::wstring(L"CLSID\\") + text + L"\\InprocServer32";
    const wchar_t model[] = L"Free";
    ASSERT_EQ(RegSetKeyValueW(HKEY_CLASSES_ROOT, key.c_str(), L"ThreadingModel", REG_SZ, model, sizeof model),
              ERROR_SUCCESS);
}
}  // namespace

// A call through a proxy from a thread other than the loading one is
// refused by COM, and the reason says where to call from.
TEST_F(ThreadsTest, AProxyCalledFromAnotherThreadSaysSo) {
    RegisterFreeThreaded();
    ScriptIntegerResult(PROBE_SIVAT, L"getSivatMode", 2);
    OnFreshThread([&] {
        ASSERT_EQ(wrapper().LoadSivatSys(), 1);
        EXPECT_EQ(wrapper().GetSivatMode("x"), 2) << "from the loading thread, through the proxy";
        OnFreshThread([&] {
            ASSERT_EQ(CoInitialize(nullptr), S_OK);
            EXPECT_EQ(wrapper().GetSivatMode("x"), -3);
            const LastFailure read = ReadLastFailure(wrapper());
            EXPECT_EQ(read.status, RPC_E_WRONG_THREAD);
            EXPECT_TRUE(Contains(read.line, L"the Sivat component was loaded on another thread")) << Utf8(read.line);
            CoUninitialize();
        });
        wrapper().FreeNolvSys();
    });
}

// A thread's state is made at its first call and goes with the thread;
// with no memory for it, the call gives its fallback and says why.
TEST_F(ThreadsTest, ThreadStateComesAndGoesWithTheThread) {
    OnFreshThread([&] {
        {
            const ImportPatch noHeap(wrapper().module, "kernel32.dll", "HeapAlloc", reinterpret_cast<void*>(&NoHeap));
            EXPECT_EQ(wrapper().LoadNolvSys(), -1);
            EXPECT_EQ(wrapper().GetSivatMode("x"), -1);
            const LastFailure read = ReadLastFailure(wrapper());
            EXPECT_EQ(read.status, E_OUTOFMEMORY);
            EXPECT_EQ(read.line.rfind(L"Sivat_Lib_GetSivatMode: out of memory", 0), 0u);
        }
        EXPECT_EQ(wrapper().LoadNolvSys(), 1);
        wrapper().FreeNolvSys();
        EXPECT_EQ(ThreadComState(), S_OK);
    });

    // The states the library holds, counted at its heap imports: none left
    // by threads that ended; one for each thread that was terminated, which
    // never detaches (the unload frees those).
    heapBlocks = 0;
    const ImportPatch countAllocations(wrapper().module, "kernel32.dll", "HeapAlloc",
                                       reinterpret_cast<void*>(&CountedHeapAlloc));
    const ImportPatch countReleases(wrapper().module, "kernel32.dll", "HeapFree",
                                    reinterpret_cast<void*>(&CountedHeapFree));
    for (int i = 0; i < 100; ++i) OnFreshThread([&] { wrapper().AboutBox(); });
    EXPECT_EQ(heapBlocks, 0) << "states of ended threads";
    HANDLE called = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    std::function<void()> callAndWait = [&] {
        wrapper().AboutBox();
        SetEvent(called);
        Sleep(INFINITE);
    };
    for (int i = 0; i < 3; ++i) {
        HANDLE thread = CreateThread(nullptr, 0, fresh_thread::Run, &callAndWait, 0, nullptr);
        WaitForSingleObject(called, INFINITE);
        TerminateThread(thread, 0);
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
    }
    CloseHandle(called);
    EXPECT_EQ(heapBlocks, 3) << "the measure sees the states of threads that never detached";
}
