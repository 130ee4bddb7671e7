#include "frame/win_app.h"

#include "frame/module_state.h"

CWinApp::CWinApp(const char* name) : appName(name) {
    LibraryModuleState()->app = this;
}

CWinApp::~CWinApp() {
    ModuleState* state = LibraryModuleState();
    if (state->app == this) state->app = nullptr;
}

BOOL CWinApp::InitInstance() { return TRUE; }

int CWinApp::ExitInstance() { return 0; }

CWinApp* LibraryApp() { return LibraryModuleState()->app; }
