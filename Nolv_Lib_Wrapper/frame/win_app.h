// The class library's application base: one object per module, registered
// in the module's state when it is constructed and run by the library-entry
// processing (InitInstance on attach, ExitInstance on detach).
#pragma once

#include <windows.h>

class CWinApp {
public:
    explicit CWinApp(const char* name = nullptr);
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual BOOL InitInstance();
    virtual int ExitInstance();

    const char* appName;
};

// The application object of this library's module state.
CWinApp* LibraryApp();
