#include "frame/thread_state.h"

const ThreadValue threadStates;

namespace {

// Every thread's state, linked so that the unload can free them all: a
// thread that was running when the library was loaded, or that ends by
// TerminateThread, never detaches.
SRWLOCK statesLock = SRWLOCK_INIT;
ThreadState* firstState = nullptr;

void Unlink(ThreadState* state) {
    if (state->previous != nullptr)
        state->previous->next = state->next;
    else
        firstState = state->next;
    if (state->next != nullptr) state->next->previous = state->previous;
}

}  // namespace

ThreadState* MakeThreadState() noexcept {
    // Zeroed: no export running, nothing counted, a record of no failure.
    auto* state = static_cast<ThreadState*>(
        HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(ThreadState)));
    if (state == nullptr) return nullptr;
    AcquireSRWLockExclusive(&statesLock);
    state->next = firstState;
    if (firstState != nullptr) firstState->previous = state;
    firstState = state;
    ReleaseSRWLockExclusive(&statesLock);
    threadStates.set(state);
    return state;
}

void ReleaseThreadState() noexcept {
    ThreadState* state = CurrentThreadState();
    if (state == nullptr) return;
    threadStates.set(nullptr);
    AcquireSRWLockExclusive(&statesLock);
    Unlink(state);
    ReleaseSRWLockExclusive(&statesLock);
    HeapFree(GetProcessHeap(), 0, state);
}

// No other thread may be running in the library by now.
void ReleaseAllThreadStates() noexcept {
    while (ThreadState* state = firstState) {
        Unlink(state);
        HeapFree(GetProcessHeap(), 0, state);
    }
}
