// The process's commit charge: under Wine the measure that grows with heap
// and automation-string leaks (private bytes read as 0 there).
#pragma once

#include <windows.h>
#include <psapi.h>

inline SIZE_T CommitCharge() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.PagefileUsage;
}

// What a leak of any kind would make grow.
struct ProcessResources {
    SIZE_T commitCharge;
    DWORD handles;
    DWORD userObjects;
    DWORD gdiObjects;
};

inline ProcessResources CurrentResources() {
    ProcessResources resources{CommitCharge(), 0, 0, 0};
    GetProcessHandleCount(GetCurrentProcess(), &resources.handles);
    resources.userObjects = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    resources.gdiObjects = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    return resources;
}
