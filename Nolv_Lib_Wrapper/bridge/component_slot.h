// The two component slots and their filling and emptying.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include "bridge/automation_owners.h"

struct ComponentSlot {
    ComPtr<IUnknown> object;     // from creation
    ComPtr<IDispatch> dispatch;  // for late-bound calls; set: the component is loaded
};

// Never destroyed: unloading the library must not release the components
// (the host calls FreeNolvSys for that, while COM is still up).
extern ComponentSlot& NolvSlot;
extern ComponentSlot& SivatSlot;

// Creates the component registered under progId and puts it into the slot
// once it exists, releasing what the slot held then (also a component that
// a load nested in this one put there). True when the slot then holds a
// dispatch reference; a new object without one is kept alone, so that the
// slot counts as not loaded. When the ProgID is not found or the object
// cannot be created, the slot keeps what it held. A failed step is
// recorded. Initialises COM on the calling thread (see ReleaseComponents).
bool CreateComponent(ComponentSlot& slot, const wchar_t* progId);

// Empties both slots and ends the library's use of COM on the calling
// thread: every CoInitialize that a creation on this thread made succeed
// is matched, and none other, so a host's own apartment survives, and so
// does another thread's. A component whose method is running keeps the
// reference of that call until it returns, and the matching happens once
// the thread's outermost export returns.
void ReleaseComponents();
