// The surrogate's one job: make the component, hand it to the library,
// serve its calls until the library lets go of it.
#pragma once

#include <windows.h>

// Creates the class's object in process, in this thread's own apartment,
// and writes the hand-over (surrogate_hand_over.h) through pipe: the
// marshalled IDispatch, or the failed step and its status. Then serves
// calls until the last reference is released, and returns when the library
// sets the released event. The process's exit code:
// kSurrogateLastObjectReleased, or the failed step's status.
DWORD ServeComponent(const CLSID& classId, HANDLE pipe, HANDLE released);
