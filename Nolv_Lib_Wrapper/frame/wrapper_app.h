// The library's application object and its version text.
#pragma once

#include "frame/library_string.h"
#include "frame/win_app.h"

class CNolv_Lib_WrapperApp : public CWinApp {
public:
    CNolv_Lib_WrapperApp();
    ~CNolv_Lib_WrapperApp() override;

    BOOL InitInstance() override;
};

// "Ver 1.00", shown in the library's own About box.
extern CString WrapperVersion;
