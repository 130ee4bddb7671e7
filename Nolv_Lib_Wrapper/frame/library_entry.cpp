// The library-entry processing. The runtime has constructed the static
// objects before the attach notification reaches DllMain and destroys them
// after the detach notification, so the application object is initialised
// after it exists and terminated before it goes. Threads are followed to
// their end, which takes their state with them.
#include <windows.h>

#include "frame/thread_state.h"
#include "frame/win_app.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
    CWinApp* app = LibraryApp();
    switch (reason) {
        case DLL_PROCESS_ATTACH:
            return app != nullptr && app->InitInstance();
        case DLL_THREAD_DETACH:
            ReleaseThreadState();
            return TRUE;
        case DLL_PROCESS_DETACH:
            if (app != nullptr) app->ExitInstance();
            // Unloaded while the process goes on (not ending): give the
            // threads' states back.
            if (reserved == nullptr) ReleaseAllThreadStates();
            return TRUE;
        default:
            return TRUE;
    }
}
