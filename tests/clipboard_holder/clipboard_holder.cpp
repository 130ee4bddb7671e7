// Another program that holds the clipboard: opens it with a window of its
// own (so that other processes' OpenClipboard fails, as on Windows), signals
// the named event, keeps pumping messages for the given milliseconds, then
// closes it.
//   clipboard_holder <milliseconds> <ready-event-name>
#include <windows.h>

#include <cstdlib>

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    const DWORD holdFor = static_cast<DWORD>(std::atoi(argv[1]));

    HWND window = CreateWindowExA(0, "STATIC", "clipboard holder", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                  nullptr, nullptr, nullptr);
    if (window == nullptr || !OpenClipboard(window)) return 1;

    HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, argv[2]);
    if (ready == nullptr) return 1;
    SetEvent(ready);
    CloseHandle(ready);

    const DWORD start = GetTickCount();
    for (DWORD elapsed = 0; elapsed < holdFor; elapsed = GetTickCount() - start) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, holdFor - elapsed, QS_ALLINPUT);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    }
    CloseClipboard();
    DestroyWindow(window);
    return 0;
}
