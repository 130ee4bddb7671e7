// PutClipboardText and GetClipboardText, called directly: CF_TEXT in and
// out, contention with another program, and the platform failing them.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "clipboard/clipboard_text.h"
#include "support/clipboard_holder_process.h"
#include "support/failing_imports.h"
#include "support/host_clipboard.h"
#include "support/import_patch.h"

namespace {

HMODULE ThisProgram() { return GetModuleHandleW(nullptr); }

std::string Copied(const HeapText& text) { return text ? std::string(text.get()) : "<null>"; }

}  // namespace

TEST(ClipboardChannel, PutTextIsOfferedAsExactlyThatText) {
    for (const std::string& text :
         {std::string("abc"), std::string(), std::string("\x95\x5C\x8E\xA6,\x83\x5C"), std::string(70000, 'z')}) {
        EXPECT_TRUE(PutClipboardText(text.c_str()));
        EXPECT_EQ(HostClipboardText(), text);
        EXPECT_EQ(Copied(GetClipboardText()), text) << "comes back byte for byte";
        for (UINT format : HostClipboardFormats())
            EXPECT_TRUE(format == CF_TEXT || format == CF_OEMTEXT || format == CF_UNICODETEXT ||
                        format == CF_LOCALE)
                << "format " << format;
    }
}

TEST(ClipboardChannel, NoTextOnTheClipboardGivesNull) {
    EmptyHostClipboard();
    EXPECT_EQ(GetClipboardText(), nullptr);
    SetHostClipboardBitmap();
    EXPECT_EQ(GetClipboardText(), nullptr);
}

TEST(ClipboardChannel, BrieflyHeldClipboardIsWaitedFor) {
    SetHostClipboardText("before");
    {
        const ClipboardHolderProcess holder(100);
        EXPECT_TRUE(PutClipboardText("after"));
    }
    EXPECT_EQ(HostClipboardText(), "after");
    {
        const ClipboardHolderProcess holder(100);
        EXPECT_EQ(Copied(GetClipboardText()), "after");
    }
}

TEST(ClipboardChannel, LongHeldClipboardIsGivenUpWithinASecond) {
    SetHostClipboardText("before");
    {
        const ClipboardHolderProcess holder(4000);
        DWORD start = GetTickCount();
        EXPECT_FALSE(PutClipboardText("after"));
        EXPECT_LE(GetTickCount() - start, 1000u);
        start = GetTickCount();
        EXPECT_EQ(GetClipboardText(), nullptr);
        EXPECT_LE(GetTickCount() - start, 1000u);
    }
    EXPECT_EQ(HostClipboardText(), "before");
}

// On a busy machine every attempt takes long: the half second is counted in
// time, not in attempts.
namespace {
BOOL WINAPI SlowlyRefusedOpenClipboard(HWND) {
    Sleep(100);
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
}
}  // namespace

TEST(ClipboardChannel, SlowAttemptsAreGivenUpWithinASecondToo) {
    const ImportPatch patch(ThisProgram(), "user32.dll", "OpenClipboard",
                            reinterpret_cast<void*>(&SlowlyRefusedOpenClipboard));
    const DWORD start = GetTickCount();
    EXPECT_FALSE(PutClipboardText("after"));
    EXPECT_LE(GetTickCount() - start, 1000u);
}

TEST(ClipboardChannel, FailedAllocationsLeaveTheClipboardAsItWas) {
    for (const InjectedFailure& failure : {kFailingGlobalAlloc, kFailingOpenClipboard}) {
        SCOPED_TRACE(failure.function);
        SetHostClipboardText("before");
        {
            const ImportPatch patch(ThisProgram(), failure);
            EXPECT_FALSE(PutClipboardText("after"));
        }
        EXPECT_EQ(HostClipboardText(), "before");
    }
    // The writer's own copy of a long text, and the reader's copy of a long
    // clipboard text, are large blocks.
    const std::string longText(failing::kLargeBlock, 'b');
    SetHostClipboardText("before");
    {
        const ImportPatch patch(ThisProgram(), kFailingMalloc);
        EXPECT_FALSE(PutClipboardText(longText.c_str()));
    }
    EXPECT_EQ(HostClipboardText(), "before");
    SetHostClipboardText(longText);
    const ImportPatch patch(ThisProgram(), kFailingMalloc);
    EXPECT_EQ(GetClipboardText(), nullptr);
}

// A block the clipboard refuses stays the library's, and is freed.
namespace {
HANDLE WINAPI RefusingSetClipboardData(UINT, HANDLE) { return nullptr; }
int freedBlocks = 0;
decltype(&GlobalFree) realGlobalFree = nullptr;
HGLOBAL WINAPI CountingGlobalFree(HGLOBAL block) {
    ++freedBlocks;
    return realGlobalFree(block);
}
}  // namespace

TEST(ClipboardChannel, RefusedBlockIsFreedAndReportedAsNotWritten) {
    freedBlocks = 0;
    const ImportPatch refuse(ThisProgram(), "user32.dll", "SetClipboardData",
                             reinterpret_cast<void*>(&RefusingSetClipboardData));
    const ImportPatch count(ThisProgram(), "kernel32.dll", "GlobalFree",
                            reinterpret_cast<void*>(&CountingGlobalFree));
    realGlobalFree = reinterpret_cast<decltype(&GlobalFree)>(count.original());
    EXPECT_FALSE(PutClipboardText("refused"));
    EXPECT_EQ(freedBlocks, 1);
}

// Whatever GetClipboardData hands over, the reader stays inside it.
namespace {
HANDLE clipboardData = nullptr;
HANDLE WINAPI HandingOverClipboardData(UINT) { return clipboardData; }
LPVOID WINAPI FailingGlobalLock(HGLOBAL) { return nullptr; }
}  // namespace

TEST(ClipboardChannel, ReadsAnUnterminatedOrMissingBlockSafely) {
    SetHostClipboardText("on the clipboard");
    const ImportPatch patch(ThisProgram(), "user32.dll", "GetClipboardData",
                            reinterpret_cast<void*>(&HandingOverClipboardData));

    clipboardData = GlobalAlloc(GMEM_MOVEABLE, 3);
    std::memcpy(GlobalLock(clipboardData), "xyz", 3);
    GlobalUnlock(clipboardData);
    EXPECT_EQ(Copied(GetClipboardText()), "xyz");
    {
        const ImportPatch lock(ThisProgram(), "kernel32.dll", "GlobalLock",
                               reinterpret_cast<void*>(&FailingGlobalLock));
        EXPECT_EQ(GetClipboardText(), nullptr);
    }
    GlobalFree(clipboardData);

    clipboardData = nullptr;
    EXPECT_EQ(GetClipboardText(), nullptr);
}
