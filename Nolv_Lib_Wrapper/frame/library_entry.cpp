// The library-entry processing. The runtime has constructed the static
// objects before the attach notification reaches DllMain and destroys them
// after the detach notification, so the application object is initialised
// after it exists and terminated before it goes.
#include <windows.h>

#include "frame/win_app.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/) {
    CWinApp* app = LibraryApp();
    switch (reason) {
        case DLL_PROCESS_ATTACH:
            DisableThreadLibraryCalls(instance);
            return app != nullptr && app->InitInstance();
        case DLL_PROCESS_DETACH:
            if (app != nullptr) app->ExitInstance();
            return TRUE;
        default:
            return TRUE;
    }
}
