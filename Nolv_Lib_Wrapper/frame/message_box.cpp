#include "frame/message_box.h"

#include "frame/win_app.h"

int LibraryMessageBox(const char* text, UINT type, UINT /*helpContext: no help file*/) {
    const CWinApp* app = LibraryApp();
    const char* caption =
        app != nullptr && app->appName != nullptr ? app->appName : "Nolv_Lib_Wrapper";
    return MessageBoxA(GetActiveWindow(), text, caption, type);
}
