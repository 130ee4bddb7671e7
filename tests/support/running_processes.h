// The processes of one program running now (this Wine prefix's, under
// Wine), by their ids: to see which ones a test started and whether any
// outlived what should have ended them.
#pragma once

#include <windows.h>

#include <set>

using ProcessIds = std::set<DWORD>;

ProcessIds RunningProcesses(const wchar_t* imageName);

// Those of RunningProcesses(imageName) that are not in before.
ProcessIds StartedSince(const wchar_t* imageName, const ProcessIds& before);
