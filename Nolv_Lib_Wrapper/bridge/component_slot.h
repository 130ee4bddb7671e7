// The two component slots and their filling and emptying. A slot holds
// plain references on purpose: unloading the library must not release
// them (the host calls FreeNolvSys for that while COM is still up).
#pragma once

#include <windows.h>
#include <oaidl.h>

struct ComponentSlot {
    IUnknown* object = nullptr;     // from creation; one reference, owned
    IDispatch* dispatch = nullptr;  // for late-bound calls; one reference, owned
};

extern ComponentSlot NolvSlot;
extern ComponentSlot SivatSlot;

// Creates the component registered under progId into the slot, releasing
// what the slot held first. True when the slot then holds a dispatch
// reference; otherwise the failed step is recorded. Initialises COM on the
// calling thread (see ReleaseComponents).
bool CreateComponent(ComponentSlot& slot, const wchar_t* progId);

// Empties both slots and ends the library's use of COM on the calling
// thread: every CoInitialize that a creation on this thread made succeed
// is matched here, and none other, so a host's own apartment survives,
// and so does another thread's.
void ReleaseComponents();
