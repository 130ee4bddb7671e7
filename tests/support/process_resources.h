// What a leak of any kind makes grow in this process, read from sources
// that see it under Wine as on Windows (there GetProcessHandleCount and
// GetGuiResources answer 0 whatever the process holds, and private bytes
// read 0):
//   privateMemory the committed private memory of the process's own address
//                 space: grows with heap and automation-string leaks
//   handles       this process's entries in the system handle table
//   deadCallKinds those of them of the kinds COM under Wine keeps of a call
//                 whose server died: events, and client ends of pipes whose
//                 server end is gone; none inheritable (counted in handles
//                 too)
//   freeTlsSlots  TLS slots still free
//   windows       this process's top-level and message-only windows
#pragma once

#include <windows.h>

#include <string>

struct ProcessResources {
    long long privateMemory;
    long long handles;
    long long deadCallKinds;
    long long freeTlsSlots;
    long long windows;
};

ProcessResources CurrentResources();

// A walk of the address space (VirtualQuery) summing the regions that are
// committed and private. Not the commit charge of the process counters:
// under Wine that is the Unix process's anonymous memory, and under a
// user-mode emulator the Unix process is the emulator, whose translation
// cache grows and shrinks with the code it has seen.
SIZE_T CommittedPrivateMemory();

// The threads of this process, platform threads included.
int OwnThreads();

// The resources once the process runs no more threads than `threads`
// (waited for up to `milliseconds`; the time waited in *waited), read in a
// state that every reading shares. The platform starts worker threads of
// its own (the thread pool's, COM's) and lets them go after seconds of
// idling; each holds about 3 MB of stack, and Wine frees a thread's stack
// only when the next thread ends. So a reading first runs a thread of its
// own to its end: whatever thread ended before is then freed, and the one
// stack left pending is that thread's, in every reading. A thread that
// never ends is waited for in vain, and counted.
ProcessResources SettledResources(int threads, DWORD milliseconds, DWORD* waited);

// after minus before, field by field.
ProcessResources Growth(const ProcessResources& before, const ProcessResources& after);

// "private memory +N bytes, handles +N (of a dead call's kinds +N), free TLS
// slots +N, windows +N".
std::string Describe(const ProcessResources& growth);

// The tolerance of a leak check: a handle or two of the platform's own may
// come and go; TLS slots and windows may not; the private memory may settle
// by less than memoryBytes.
void ExpectNoLeak(const ProcessResources& growth, long long memoryBytes);
