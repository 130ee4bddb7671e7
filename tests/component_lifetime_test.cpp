// LoadNolvSys, LoadSivatSys and FreeNolvSys: creating the components by
// ProgID, filling the slots, releasing everything, and keeping COM balanced
// on the host's thread.
#include <ole2.h>

#include <functional>

#include "support/component_test.h"
#include "support/fresh_thread.h"

namespace {

using LifetimeTest = ComponentTest;

}  // namespace

TEST_F(LifetimeTest, LoadGivesOneWhenRegisteredAndZeroWhenNotOrWithoutDispatch) {
    EXPECT_EQ(wrapper().LoadNolvSys(), 1);
    EXPECT_EQ(wrapper().LoadSivatSys(), 1);
    EXPECT_EQ(ProbeLiveObjects(), 2);
    wrapper().FreeNolvSys();
    EXPECT_EQ(ProbeLiveObjects(), 0) << "FreeNolvSys releases the Sivat slot too";

    ASSERT_EQ(ProbeUnregister(PROBE_SIVAT, kSivatProgId), S_OK);
    EXPECT_EQ(wrapper().LoadSivatSys(), 0);
    EXPECT_EQ(wrapper().LoadNolvSys(), 1);
    wrapper().FreeNolvSys();

    ProbeRefuseDispatch(PROBE_NOLV, 1);
    EXPECT_EQ(wrapper().LoadNolvSys(), 0);
    EXPECT_EQ(ProbeLiveObjects(), 1) << "the object reference stays in the half-filled slot";
    wrapper().FreeNolvSys();
    EXPECT_EQ(ProbeLiveObjects(), 0);
}

TEST_F(LifetimeTest, NolvWorksWhileSivatIsNotRegistered) {
    ASSERT_EQ(ProbeUnregister(PROBE_SIVAT, kSivatProgId), S_OK);
    ProbeDefineMethod(PROBE_NOLV, L"AboutBox");
    ProbeDefineMethod(PROBE_SIVAT, L"About");
    ASSERT_EQ(wrapper().LoadNolvSys(), 1);
    ASSERT_EQ(wrapper().LoadSivatSys(), 0);

    wrapper().AboutBox();
    wrapper().SivatAboutBox();
    const auto calls = Invocations();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].component, PROBE_NOLV);
}

TEST_F(LifetimeTest, LoadFreeLoadAgainGivesAWorkingSlot) {
    ProbeDefineMethod(PROBE_NOLV, L"editSettingData");
    for (int round = 0; round < 2; ++round) {
        ASSERT_EQ(wrapper().LoadNolvSys(), 1);
        wrapper().editSettingData();
        wrapper().FreeNolvSys();
        EXPECT_EQ(ProbeLiveObjects(), 0);
    }
    EXPECT_EQ(Invocations().size(), 2u);
}

TEST_F(LifetimeTest, LoadingALoadedSlotReleasesThePreviousComponent) {
    ASSERT_EQ(wrapper().LoadNolvSys(), 1);
    ASSERT_EQ(wrapper().LoadNolvSys(), 1);
    EXPECT_EQ(ProbeLiveObjects(), 1);
    EXPECT_EQ(ProbeLiveReferences(), 2) << "one reference for the object, one for the dispatch";
    wrapper().FreeNolvSys();
    EXPECT_EQ(ProbeLiveObjects(), 0);
}

// A reload replaces the component once the new one exists. One that
// cannot be created leaves the loaded one working, and says so; a new
// object without IDispatch replaces it, leaving the slot not loaded.
TEST_F(LifetimeTest, AFailedReloadKeepsTheLoadedComponentUnlessItsObjectWasMade) {
    ProbeDefineMethod(PROBE_NOLV, L"AboutBox");
    ASSERT_EQ(wrapper().LoadNolvSys(), 1);
    ASSERT_EQ(ProbeUnregister(PROBE_NOLV, kNolvProgId), S_OK);
    EXPECT_EQ(wrapper().LoadNolvSys(), 0);
    EXPECT_NE(ReadLastFailure(wrapper()).line.find(L"; the component loaded before stays loaded"),
              std::wstring::npos);
    wrapper().AboutBox();
    EXPECT_EQ(Invocations().size(), 1u) << "the loaded component still works";

    ASSERT_EQ(ProbeRegister(PROBE_NOLV, kNolvProgId), S_OK);
    ProbeRefuseDispatch(PROBE_NOLV, 1);
    EXPECT_EQ(wrapper().LoadNolvSys(), 0);
    EXPECT_EQ(ProbeLiveObjects(), 1) << "the new object alone, in the half-filled slot";
    wrapper().AboutBox();
    EXPECT_EQ(Invocations().size(), 1u) << "not loaded any more";
}

// The library matches every CoInitialize it made succeed with one
// CoUninitialize, and makes no other: a host's own apartment survives.
TEST_F(LifetimeTest, FreeLeavesAThreadWithoutItsOwnApartmentUninitialised) {
    OnFreshThread([this] {
        ASSERT_EQ(wrapper().LoadNolvSys(), 1);
        ASSERT_EQ(wrapper().LoadSivatSys(), 1);
        ASSERT_EQ(wrapper().LoadNolvSys(), 1);
        wrapper().FreeNolvSys();
        EXPECT_EQ(ThreadComState(), S_OK);
    });
    OnFreshThread([this] {
        ASSERT_EQ(ProbeUnregister(PROBE_NOLV, kNolvProgId), S_OK);
        ASSERT_EQ(wrapper().LoadNolvSys(), 0);  // CoInitialize succeeded all the same
        wrapper().FreeNolvSys();
        EXPECT_EQ(ThreadComState(), S_OK);
    });
    OnFreshThread([this] {
        wrapper().FreeNolvSys();  // nothing loaded: nothing to uninitialise
        EXPECT_EQ(ThreadComState(), S_OK);
    });
}

TEST_F(LifetimeTest, FreeKeepsTheHostsOwnApartment) {
    OnFreshThread([this] {
        ASSERT_EQ(CoInitialize(nullptr), S_OK);
        wrapper().FreeNolvSys();
        EXPECT_EQ(ThreadComState(), RPC_E_CHANGED_MODE) << "FreeNolvSys with nothing loaded";
        ASSERT_EQ(wrapper().LoadNolvSys(), 1);
        ASSERT_EQ(wrapper().LoadNolvSys(), 1);
        wrapper().FreeNolvSys();
        EXPECT_EQ(ThreadComState(), RPC_E_CHANGED_MODE) << "after two loads";
        CoUninitialize();
        EXPECT_EQ(ThreadComState(), S_OK);
    });
    // A host in the multithreaded apartment: the library's CoInitialize
    // fails there, so it has nothing to undo.
    OnFreshThread([this] {
        ASSERT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
        EXPECT_EQ(wrapper().LoadNolvSys(), 1);
        wrapper().FreeNolvSys();
        EXPECT_EQ(ThreadComState(), S_FALSE);
        CoUninitialize();
        EXPECT_EQ(ThreadComState(), S_OK);
    });
}

// A host that breaks the one-thread rule, loading on one thread and freeing
// on another, keeps its COM as it had it: FreeNolvSys undoes the freeing
// thread's own initialisations only, and the loading thread's stay until
// that thread frees.
TEST_F(LifetimeTest, FreeOnAnotherThreadLeavesEachThreadsComAsItWas) {
    HANDLE loaded = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE freed = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    OnFreshThread([&] {
        ASSERT_EQ(CoInitialize(nullptr), S_OK);  // the host's own apartment
        std::function<void()> loader = [&] {
            EXPECT_EQ(wrapper().LoadNolvSys(), 1);
            SetEvent(loaded);
            WaitForSingleObject(freed, INFINITE);
            EXPECT_EQ(ThreadComState(), RPC_E_CHANGED_MODE) << "another thread's free undid this one";
            wrapper().FreeNolvSys();
            EXPECT_EQ(ThreadComState(), S_OK);
        };
        HANDLE thread = CreateThread(nullptr, 0, fresh_thread::Run, &loader, 0, nullptr);
        WaitForSingleObject(loaded, INFINITE);
        wrapper().FreeNolvSys();
        EXPECT_EQ(ProbeLiveObjects(), 0);
        EXPECT_EQ(ThreadComState(), RPC_E_CHANGED_MODE) << "the host's own apartment";
        SetEvent(freed);
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
        CoUninitialize();
        EXPECT_EQ(ThreadComState(), S_OK);
    });
    CloseHandle(loaded);
    CloseHandle(freed);
}
