// The library's static objects. They are defined in this one file so that
// they are created in this order when the library is loaded (module state,
// version text, application object) and destroyed in reverse order when it
// is unloaded.
#include "frame/wrapper_app.h"

#include "frame/module_state.h"

namespace {
ModuleState libraryModuleState;
}

ModuleState* LibraryModuleState() { return &libraryModuleState; }

CString WrapperVersion("Ver 1.00");

CNolv_Lib_WrapperApp::CNolv_Lib_WrapperApp() : CWinApp(nullptr) {}

CNolv_Lib_WrapperApp::~CNolv_Lib_WrapperApp() = default;

// Loading must not fail whatever the base class reports.
BOOL CNolv_Lib_WrapperApp::InitInstance() {
    CWinApp::InitInstance();
    return TRUE;
}

namespace {
CNolv_Lib_WrapperApp theApp;
}
