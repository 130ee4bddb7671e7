// ConvertAnsiToBstr and ConvertBstrToAnsi, called directly. Failures are
// injected at this test program's own imports, which the routines linked
// into it call through.
#include <gtest/gtest.h>

#include <comdef.h>

#include <string>
#include <vector>

#include "bridge/text_conversion.h"
#include "support/code_page_texts.h"
#include "support/failing_imports.h"
#include "support/import_patch.h"

namespace {

HMODULE ThisProgram() { return GetModuleHandleW(nullptr); }

std::wstring Wide(const Bstr& text) { return std::wstring(text.get(), SysStringLen(text.get())); }

// The status a conversion raised, or S_OK when it raised nothing.
template <class Conversion>
HRESULT RaisedStatus(Conversion conversion) {
    try {
        conversion();
    } catch (const _com_error& error) {
        return error.Error();
    }
    return S_OK;
}

int heapAllocations = 0;
void* (__cdecl* realMalloc)(size_t) = nullptr;
void* __cdecl CountingMalloc(size_t size) {
    ++heapAllocations;
    return realMalloc(size);
}

}  // namespace

TEST(TextConversion, NullCrossesAsNullBothWays) {
    EXPECT_EQ(ConvertAnsiToBstr(nullptr).get(), nullptr);
    EXPECT_EQ(ConvertBstrToAnsi(nullptr), nullptr);
}

TEST(TextConversion, TextsOfEveryLengthCrossIntact) {
    for (size_t length : {0u, 1u, 4095u, 4096u, 100000u}) {
        SCOPED_TRACE(length);
        std::string text(length, ' ');
        for (size_t i = 0; i < length; ++i) text[i] = static_cast<char>('A' + i % 26);
        const Bstr wide = ConvertAnsiToBstr(text.c_str());
        ASSERT_NE(wide.get(), nullptr);
        EXPECT_EQ(Wide(wide), std::wstring(text.begin(), text.end()));
        EXPECT_EQ(std::string(ConvertBstrToAnsi(wide.get()).get()), text);
    }
}

TEST(TextConversion, ConvertsUpToTheFirstNulOfAString) {
    Bstr embedded(SysAllocStringLen(L"ab\0cd", 5));
    EXPECT_EQ(std::string(ConvertBstrToAnsi(embedded.get()).get()), "ab");
}

// Below 4096 wide characters the conversion needs no heap buffer; from
// 4096 on it takes exactly one.
TEST(TextConversion, ShortTextsNeedNoTemporaryHeapBuffer) {
    for (size_t length : {0u, 100u, 4094u, 4095u, 4096u, 10000u}) {
        SCOPED_TRACE(length);
        const std::string text(length, 'x');
        heapAllocations = 0;
        {
            const ImportPatch patch(ThisProgram(), "msvcrt.dll", "malloc",
                                    reinterpret_cast<void*>(&CountingMalloc));
            realMalloc = reinterpret_cast<void* (__cdecl*)(size_t)>(patch.original());
            const Bstr wide = ConvertAnsiToBstr(text.c_str());
        }
        EXPECT_EQ(heapAllocations, length < 4096 ? 0 : 1);
    }
}

// Texts of the running code page convert as Windows converts them, both
// ways, double-byte characters whose second byte looks like ASCII included.
TEST(TextConversion, CodePageTextsMatchUtf16BothWays) {
    const std::vector<CodePageText> texts = CodePageTexts();
    if (texts.empty()) GTEST_SKIP() << "no texts for ANSI code page " << GetACP();
    for (const CodePageText& text : texts) {
        SCOPED_TRACE(text.ansi);
        EXPECT_EQ(Wide(ConvertAnsiToBstr(text.ansi.c_str())), text.utf16);
        Bstr fromUtf16(SysAllocString(text.utf16.c_str()));
        EXPECT_STREQ(ConvertBstrToAnsi(fromUtf16.get()).get(), text.ansi.c_str());
    }
}

// Every byte of a single-byte code page converts as Windows converts it,
// and back to itself.
TEST(TextConversion, EveryByteRoundTripsUnderSingleByteCodePages) {
    CPINFO info;
    ASSERT_TRUE(GetCPInfo(CP_ACP, &info));
    if (info.MaxCharSize != 1) GTEST_SKIP() << "needs a single-byte ANSI code page";
    for (int byte = 0x01; byte <= 0xFF; ++byte) {
        SCOPED_TRACE(byte);
        const char ansi[] = {static_cast<char>(byte), '\0'};
        wchar_t expected[2] = {};
        ASSERT_EQ(MultiByteToWideChar(GetACP(), 0, ansi, 2, expected, 2), 2);
        const Bstr wide = ConvertAnsiToBstr(ansi);
        EXPECT_EQ(Wide(wide), std::wstring(expected));
        EXPECT_STREQ(ConvertBstrToAnsi(wide.get()).get(), ansi);
    }
}

// A failed code-page conversion raises the last error in the Win32
// facility; a missing allocation raises E_OUTOFMEMORY.
TEST(TextConversion, FailuresRaiseTheirStatus) {
    const std::string longText(5000, 'l');
    Bstr wide(SysAllocString(L"wide"));
    Bstr longWide(SysAllocString(std::wstring(5000, L'w').c_str()));
    struct Case {
        InjectedFailure failure;
        const char* ansi;
        bool toAnsi;
        HRESULT expected;
    } cases[] = {
        {kFailingMultiByteToWideChar, "short", false, kNoUnicodeTranslation},
        {kFailingSysAllocString, "short", false, E_OUTOFMEMORY},
        {kFailingMalloc, longText.c_str(), false, E_OUTOFMEMORY},
        {kFailingWideCharToMultiByte, nullptr, true, kNoUnicodeTranslation},
        {kFailingMalloc, nullptr, true, E_OUTOFMEMORY},  // with the long string
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.failure.function);
        const ImportPatch patch(ThisProgram(), c.failure);
        if (c.toAnsi)
            EXPECT_EQ(RaisedStatus([&] {
                          ConvertBstrToAnsi(c.failure.standIn == kFailingMalloc.standIn
                                                ? longWide.get()
                                                : wide.get());
                      }),
                      c.expected);
        else
            EXPECT_EQ(RaisedStatus([&] { ConvertAnsiToBstr(c.ansi); }), c.expected);
    }
}

// Only the second MultiByteToWideChar fails: the heap buffer the first one
// sized is freed, and its error raised.
namespace {
int multiByteCalls = 0;
decltype(&MultiByteToWideChar) realMultiByteToWideChar = nullptr;
int WINAPI FailingSecondMultiByteToWideChar(UINT codePage, DWORD flags, LPCCH text, int length,
                                            LPWSTR wide, int wideLength) {
    if (++multiByteCalls == 2) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    return realMultiByteToWideChar(codePage, flags, text, length, wide, wideLength);
}
int liveHeapBlocks = 0;
void* __cdecl TrackingMalloc(size_t size) {
    ++liveHeapBlocks;
    return realMalloc(size);
}
void (__cdecl* realFree)(void*) = nullptr;
void __cdecl TrackingFree(void* block) {
    if (block != nullptr) --liveHeapBlocks;
    realFree(block);
}
}  // namespace

TEST(TextConversion, FailedSecondConversionFreesItsHeapBuffer) {
    const std::string longText(5000, 'l');
    multiByteCalls = 0;
    liveHeapBlocks = 0;
    HRESULT status;
    {
        const ImportPatch failing(ThisProgram(), "kernel32.dll", "MultiByteToWideChar",
                                  reinterpret_cast<void*>(&FailingSecondMultiByteToWideChar));
        const ImportPatch mallocs(ThisProgram(), "msvcrt.dll", "malloc",
                                  reinterpret_cast<void*>(&TrackingMalloc));
        const ImportPatch frees(ThisProgram(), "msvcrt.dll", "free",
                                reinterpret_cast<void*>(&TrackingFree));
        realMultiByteToWideChar = reinterpret_cast<decltype(&MultiByteToWideChar)>(failing.original());
        realMalloc = reinterpret_cast<void* (__cdecl*)(size_t)>(mallocs.original());
        realFree = reinterpret_cast<void (__cdecl*)(void*)>(frees.original());
        status = RaisedStatus([&] { ConvertAnsiToBstr(longText.c_str()); });
    }
    EXPECT_EQ(status, static_cast<HRESULT>(0x8007007A));
    EXPECT_EQ(multiByteCalls, 2);
    EXPECT_EQ(liveHeapBlocks, 0);
}
