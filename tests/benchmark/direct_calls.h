// The baseline for the benchmark: each operation's platform calls made
// directly, in the same order and with the same allocations as the library
// makes them, but without the library. What the library costs beyond this
// is its own overhead.
#pragma once

#include <windows.h>
#include <oaidl.h>

namespace direct {

int NumberString(IDispatch* nolv, const char* first, const char* second, int* a, int* b);
int PartsNameList(IDispatch* nolv, const char* text, int limit);
int Mode(IDispatch* sivat, const char* text);
void CallWithoutArguments(IDispatch* component, const wchar_t* method);
void SettingsFileName(IDispatch* nolv, const char* fileName);

}  // namespace direct
