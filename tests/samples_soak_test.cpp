// The sample components under a soak through the library: registered as
// regsvr32 registers them, called thousands of times, with the process's
// private memory flat and, after FreeNolvSys, neither sample holding an
// object (its DllCanUnloadNow says S_OK). NOLV_SOAK_ROUNDS raises the
// number of rounds (1000 calls each) for a long soak.
#include <gtest/gtest.h>

#include <string>

#include "support/host_clipboard.h"
#include "support/sample_server.h"
#include "support/soak.h"
#include "support/wrapper_library.h"

TEST(SamplesSoak, ThousandsOfCallsKeepMemoryFlatAndLeaveNoObjectAlive) {
    const SampleServer nolv(L"nolv_sample.dll");
    const SampleServer sivat(L"sivat_sample.dll");
    ASSERT_EQ(nolv.Call("DllRegisterServer"), S_OK);
    ASSERT_EQ(sivat.Call("DllRegisterServer"), S_OK);

    WrapperLibrary wrapper;
    ASSERT_EQ(wrapper.LoadNolvSys(), 1);
    ASSERT_EQ(wrapper.LoadSivatSys(), 1);
    EXPECT_EQ(nolv.Call("DllCanUnloadNow"), S_FALSE) << "the library holds a Nolv object";

    const std::string input = "Bolt M4, Nut M6, Washer 4, Bolt M6, " + std::string(5000, 'p');
    auto round = [&] {
        for (int i = 0; i < 250; ++i) {
            int first = i;
            int second = 2;
            const int sum = wrapper.getNumberStrRZ("NS", input.c_str(), &first, &second);
            EXPECT_EQ(sum, first + second);
            SetHostClipboardText(input);
            EXPECT_EQ(wrapper.getPartsNameListRZClip("bolt", 0), 2);
            EXPECT_EQ(wrapper.GetSivatMode(input.c_str()), 2);
            wrapper.setSettingDataFileName(nullptr);
        }
    };
    ExpectFlatOverSoak(round, 5, 250 * 4);

    wrapper.FreeNolvSys();
    EXPECT_EQ(nolv.Call("DllCanUnloadNow"), S_OK);
    EXPECT_EQ(sivat.Call("DllCanUnloadNow"), S_OK);
    EXPECT_EQ(nolv.Call("DllUnregisterServer"), S_OK);
    EXPECT_EQ(sivat.Call("DllUnregisterServer"), S_OK);
}
