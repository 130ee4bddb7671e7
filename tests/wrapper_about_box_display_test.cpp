// Nolv_Lib_WrapperAboutBox on a real display: the box appears with the
// library's caption and message and a single OK button, and the export
// returns once the box is closed. A timer on the calling thread, which the
// box's modal loop runs, reads the box and presses OK in the user's place.
// Run by integration/with_display.sh under Xvfb; skipped without a display.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>

#include "support/wrapper_library.h"

namespace {

struct ShownBox {
    bool seen = false;
    std::string caption;
    std::string text;
    bool hasOk = false;
    bool hasCancel = false;
};
ShownBox shown;

BOOL CALLBACK CloseMessageBox(HWND window, LPARAM) {
    char className[64];
    GetClassNameA(window, className, sizeof className);
    if (lstrcmpA(className, "#32770") != 0) return TRUE;  // not a dialog box
    char caption[256];
    char text[1024];
    GetWindowTextA(window, caption, sizeof caption);
    GetDlgItemTextA(window, 0xFFFF, text, sizeof text);  // the box's message
    shown = {true, caption, text, GetDlgItem(window, IDOK) != nullptr,
             GetDlgItem(window, IDCANCEL) != nullptr};
    PostMessageA(window, WM_COMMAND, IDOK, 0);
    return FALSE;
}

void CALLBACK LookForTheBox(HWND, UINT, UINT_PTR, DWORD) {
    EnumThreadWindows(GetCurrentThreadId(), CloseMessageBox, 0);
}

}  // namespace

TEST(WrapperAboutBoxOnDisplay, ShowsTheBoxAndReturnsWhenItIsClosed) {
    if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "needs a display";
    WrapperLibrary wrapper;
    shown = {};
    const UINT_PTR timer = SetTimer(nullptr, 0, 100, LookForTheBox);
    wrapper.WrapperAboutBox();
    KillTimer(nullptr, timer);

    ASSERT_TRUE(shown.seen) << "no box was shown";
    EXPECT_EQ(shown.caption, "Nolv_Lib_Wrapper");
    EXPECT_EQ(shown.text.rfind("Nolv_Lib_Wrapper [ Ver 1.00 ]\n", 0), 0u) << shown.text;
    EXPECT_TRUE(shown.hasOk);
    EXPECT_FALSE(shown.hasCancel);
}
