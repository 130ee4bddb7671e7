#include "support/running_processes.h"

#include <tlhelp32.h>

#include <algorithm>
#include <iterator>

ProcessIds RunningProcesses(const wchar_t* imageName) {
    ProcessIds ids;
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more;
         more = Process32NextW(snapshot, &entry))
        if (_wcsicmp(entry.szExeFile, imageName) == 0) ids.insert(entry.th32ProcessID);
    CloseHandle(snapshot);
    return ids;
}

ProcessIds StartedSince(const wchar_t* imageName, const ProcessIds& before) {
    const ProcessIds now = RunningProcesses(imageName);
    ProcessIds started;
    std::set_difference(now.begin(), now.end(), before.begin(), before.end(),
                        std::inserter(started, started.end()));
    return started;
}
