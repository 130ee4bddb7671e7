// What a leak of any kind makes grow in this process, read from sources
// that see it under Wine as on Windows (there GetProcessHandleCount and
// GetGuiResources answer 0 whatever the process holds, and private bytes
// read 0):
//   commitCharge  the commit charge: grows with heap and automation-string leaks
//   handles       this process's entries in the system handle table
//   freeTlsSlots  TLS slots still free
//   windows       this process's top-level and message-only windows
#pragma once

#include <windows.h>

#include <string>

struct ProcessResources {
    long long commitCharge;
    long long handles;
    long long freeTlsSlots;
    long long windows;
};

ProcessResources CurrentResources();

SIZE_T CommitCharge();

// after minus before, field by field.
ProcessResources Growth(const ProcessResources& before, const ProcessResources& after);

// "commit charge +N bytes, handles +N, free TLS slots +N, windows +N".
std::string Describe(const ProcessResources& growth);

// The tolerance of a leak check: a handle or two of the platform's own may
// come and go; TLS slots and windows may not; the commit charge may settle
// by less than commitBytes.
void ExpectNoLeak(const ProcessResources& growth, long long commitBytes);
