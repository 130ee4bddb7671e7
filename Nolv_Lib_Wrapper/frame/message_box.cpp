#include "frame/message_box.h"

#include "frame/win_app.h"

int AfxMessageBox(const char* text, UINT type, UINT /*helpContext: no help file*/) {
    const CWinApp* app = AfxGetApp();
    const char* caption = app != nullptr && app->m_pszAppName != nullptr ? app->m_pszAppName
                                                                          : "Nolv_Lib_Wrapper";
    return MessageBoxA(GetActiveWindow(), text, caption, type);
}
