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
