// What the library keeps for each thread that calls it: the module state
// its guarded exports switch, the exports running on it (a component's
// method may let the host call in again while it runs), the COM
// initialisations its loads made, and the record of why its last call
// failed. One TLS slot points at it, so reaching it costs a load or two.
//
// It is made on a thread's first call and goes with the thread (the
// library asks for thread-detach notifications for that); whatever is
// left when the library is unloaded is freed then.
#pragma once

#include <windows.h>

#include "frame/failure_record.h"
#include "frame/thread_value.h"

struct ModuleState;
struct CallFrame;

struct ThreadState {
    ModuleState* moduleState;          // the guard's current module state
    CallFrame* innermost;              // the export running deepest on the stack, or null
    unsigned comInitializations;       // successful CoInitialize calls of loads, not yet undone
    unsigned pendingUninitializations; // freed while an export ran: undone as the outermost returns
    FailureRecord record;
    ThreadState* previous;             // every thread's state, for the unload
    ThreadState* next;
};

extern const ThreadValue threadStates;

// The calling thread's state, or null before its first call.
inline ThreadState* CurrentThreadState() noexcept {
    return static_cast<ThreadState*>(threadStates.get());
}

// The calling thread's state, made on its first call; null when there is
// no memory left for it.
ThreadState* MakeThreadState() noexcept;
inline ThreadState* EnsureThreadState() noexcept {
    ThreadState* state = CurrentThreadState();
    return state != nullptr ? state : MakeThreadState();
}

// The thread is ending: its state goes with it.
void ReleaseThreadState() noexcept;
// The library is being unloaded: every thread's state goes.
void ReleaseAllThreadStates() noexcept;
