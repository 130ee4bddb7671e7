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

// The buffer forms: the text into the host's buffer of size characters, cut
// at a whole character, ANSI or UTF-16.
template <class Char>
int NumberStringInto(IDispatch* nolv, const Char* first, const Char* second, int* a, int* b,
                     Char* buffer, int size);
template <class Char>
int PartsNameListInto(IDispatch* nolv, const Char* text, const Char* input, int limit,
                      Char* buffer, int size);
int Mode(IDispatch* sivat, const char* text);
void CallWithoutArguments(IDispatch* component, const wchar_t* method);
void SettingsFileName(IDispatch* nolv, const char* fileName);

}  // namespace direct
