// A host process holding components in surrogate processes of their own,
// for a test to end as a host ends: it starts each class isolated, signals
// the ready event, and exits without freeing anything when the end event
// is signalled, unless it is terminated first.
//   isolated_host <ready-event-name> <end-event-name> <CLSID>...
#include <windows.h>

#include "bridge/isolated_process.h"

int wmain(int argc, wchar_t** argv) {
    if (argc < 4 || CoInitialize(nullptr) != S_OK) return 2;
    for (int i = 3; i < argc; ++i) {
        CLSID classId;
        // Never freed: the host's end is all that ends them.
        auto* const process = new IsolatedProcess;
        if (CLSIDFromString(argv[i], &classId) != S_OK ||
            process->Start(classId, 60000, 0).status != S_OK)
            return 1;
    }
    const HANDLE ready = OpenEventW(EVENT_MODIFY_STATE, FALSE, argv[1]);
    const HANDLE end = OpenEventW(SYNCHRONIZE, FALSE, argv[2]);
    if (ready == nullptr || end == nullptr || !SetEvent(ready)) return 1;
    WaitForSingleObject(end, INFINITE);
    ExitProcess(0);
}
