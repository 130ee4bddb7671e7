// Nolv_Lib_WrapperAboutBox: the library's own box, with its name and
// version, shown before any component is loaded and after they are freed.
// The box is captured at the library's MessageBoxA import, so no person
// has to close it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/import_patch.h"
#include "support/wrapper_library.h"

namespace {

struct ShownBox {
    std::string text;
    std::string caption;
    UINT type;
};
std::vector<ShownBox> shownBoxes;

int WINAPI RecordingMessageBoxA(HWND, LPCSTR text, LPCSTR caption, UINT type) {
    shownBoxes.push_back({text ? text : "<null>", caption ? caption : "<null>", type});
    return IDOK;
}

}  // namespace

TEST(WrapperAboutBox, ShowsNameAndVersionBeforeLoadingAndAfterFreeing) {
    WrapperLibrary wrapper;
    shownBoxes.clear();
    {
        const ImportPatch patch(wrapper.module, "user32.dll", "MessageBoxA",
                                reinterpret_cast<void*>(&RecordingMessageBoxA));
        wrapper.WrapperAboutBox();
        wrapper.FreeNolvSys();
        wrapper.WrapperAboutBox();
    }
    ASSERT_EQ(shownBoxes.size(), 2u);
    for (const ShownBox& box : shownBoxes) {
        EXPECT_EQ(box.text.rfind("Nolv_Lib_Wrapper [ Ver 1.00 ]\n", 0), 0u) << box.text;
        EXPECT_EQ(box.type, static_cast<UINT>(MB_OK));
        EXPECT_FALSE(box.caption.empty());
        // The notice and contact lines follow after blank lines.
        const std::string rest = box.text.substr(box.text.find('\n'));
        EXPECT_EQ(rest.rfind("\n\n ", 0), 0u);
        EXPECT_NE(rest.find("\n\n  <"), std::string::npos);
        EXPECT_EQ(rest.back(), '>');
    }
}
