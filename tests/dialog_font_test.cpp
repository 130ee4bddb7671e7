// The fonts Wine draws the demo's About boxes with: the message box font
// (SPI_GETNONCLIENTMETRICS) and the dialog font "MS Shell Dlg" must each
// have a glyph for every character the boxes show (the library's box and
// the two samples', captured as they reach MessageBox), for the button's
// label, and for the running ANSI code page's own texts, which a host's
// or a component's message in that code page carries. A character the
// font lacks is drawn as an empty square, or not at all when Wine has no
// font whatever.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "support/code_page_texts.h"
#include "support/import_patch.h"
#include "support/sample_server.h"
#include "support/wrapper_library.h"
#include "wide_text.h"

namespace {

std::vector<std::wstring> shownTexts;

int WINAPI RecordAnsiBox(HWND, LPCSTR text, LPCSTR caption, UINT) {
    shownTexts.push_back(WideFromBytes(caption, CP_ACP));
    shownTexts.push_back(WideFromBytes(text, CP_ACP));
    return IDOK;
}

int WINAPI RecordWideBox(HWND, LPCWSTR text, LPCWSTR caption, UINT) {
    shownTexts.push_back(caption);
    shownTexts.push_back(text);
    return IDOK;
}

// What the demo's three About boxes show, their captions included: the
// samples registered as regsvr32 registers them, each box taken at the
// MessageBox import of the module that shows it.
std::vector<std::wstring> AboutBoxTexts() {
    const SampleServer nolv(L"nolv_sample.dll");
    const SampleServer sivat(L"sivat_sample.dll");
    EXPECT_EQ(nolv.Call("DllRegisterServer"), S_OK);
    EXPECT_EQ(sivat.Call("DllRegisterServer"), S_OK);
    shownTexts.clear();
    {
        WrapperLibrary wrapper;
        EXPECT_EQ(wrapper.LoadNolvSys(), 1);
        EXPECT_EQ(wrapper.LoadSivatSys(), 1);
        const auto recordWide = reinterpret_cast<void*>(&RecordWideBox);
        const ImportPatch nolvBox(GetModuleHandleW(L"nolv_sample.dll"), "user32.dll", "MessageBoxW", recordWide);
        const ImportPatch sivatBox(GetModuleHandleW(L"sivat_sample.dll"), "user32.dll", "MessageBoxW", recordWide);
        const ImportPatch wrapperBox(wrapper.module, "user32.dll", "MessageBoxA",
                                     reinterpret_cast<void*>(&RecordAnsiBox));
        wrapper.AboutBox();
        wrapper.SivatAboutBox();
        wrapper.WrapperAboutBox();
        wrapper.FreeNolvSys();
    }
    EXPECT_EQ(nolv.Call("DllUnregisterServer"), S_OK);
    EXPECT_EQ(sivat.Call("DllUnregisterServer"), S_OK);
    return shownTexts;
}

struct DialogFont {
    const char* role;
    LOGFONTW logFont;
};

std::vector<DialogFont> DialogFonts() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    EXPECT_TRUE(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0));
    LOGFONTW shellDialog{};
    shellDialog.lfHeight = -MulDiv(8, 96, 72);  // the message box template's 8 points
    shellDialog.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(shellDialog.lfFaceName, L"MS Shell Dlg", LF_FACESIZE);
    return {{"message box font", metrics.lfMessageFont}, {"dialog font", shellDialog}};
}

// The characters of the text that the font selected into the device
// context has no glyph for, as U+XXXX; line breaks are not drawn.
std::string MissingGlyphs(HDC dc, const std::wstring& text) {
    std::vector<WORD> glyphs(text.size());
    if (GetGlyphIndicesW(dc, text.c_str(), static_cast<int>(text.size()), glyphs.data(),
                         GGI_MARK_NONEXISTING_GLYPHS) == GDI_ERROR)
        return "all (GetGlyphIndicesW failed)";
    std::string missing;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (glyphs[i] != 0xFFFF || text[i] < L' ') continue;
        char code[8];
        std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(text[i]));
        missing += missing.empty() ? code : std::string(" ") + code;
    }
    return missing;
}

}  // namespace

TEST(DialogFont, DrawsEveryCharacterTheAboutBoxesAndTheCodePageShow) {
    std::vector<std::wstring> texts = AboutBoxTexts();
    ASSERT_EQ(texts.size(), 6u) << "three boxes, each a caption and a message";
    texts.push_back(L"OK");
    for (const CodePageText& text : CodePageTexts()) texts.push_back(text.utf16);

    HDC dc = CreateCompatibleDC(nullptr);
    ASSERT_NE(dc, nullptr);
    for (const DialogFont& font : DialogFonts()) {
        HFONT handle = CreateFontIndirectW(&font.logFont);
        ASSERT_NE(handle, nullptr) << font.role;
        const HGDIOBJ previous = SelectObject(dc, handle);
        wchar_t face[LF_FACESIZE] = L"";
        GetTextFaceW(dc, LF_FACESIZE, face);
        std::printf("ANSI code page %u, %s \"%s\": \"%s\"\n", GetACP(), font.role,
                    Utf8(font.logFont.lfFaceName).c_str(), Utf8(face).c_str());
        for (const std::wstring& text : texts)
            EXPECT_EQ(MissingGlyphs(dc, text), "")
                << font.role << " \"" << Utf8(font.logFont.lfFaceName) << "\" (drawn with \""
                << Utf8(face) << "\") has no glyph for these characters of \"" << Utf8(text) << "\"";
        SelectObject(dc, previous);
        DeleteObject(handle);
    }
    DeleteDC(dc);
}
