#include "frame/win_app.h"

#include "frame/module_state.h"

CWinApp::CWinApp(const char* appName) : m_pszAppName(appName) {
    AfxGetStaticModuleState()->m_pCurrentWinApp = this;
}

CWinApp::~CWinApp() {
    AFX_MODULE_STATE* state = AfxGetStaticModuleState();
    if (state->m_pCurrentWinApp == this) state->m_pCurrentWinApp = nullptr;
}

BOOL CWinApp::InitInstance() { return TRUE; }

int CWinApp::ExitInstance() { return 0; }

CWinApp* AfxGetApp() { return AfxGetStaticModuleState()->m_pCurrentWinApp; }
