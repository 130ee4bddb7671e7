// Host pointers a call cannot do without. A null one is the host's mistake,
// but it must not end the host's process: the call is refused before it
// does anything, with E_POINTER naming the argument, and the export gives
// its fallback.
#pragma once

#include "frame/failure_record.h"

struct NullArgument {};

inline void RequireArgument(const void* pointer, const wchar_t* name) {
    if (pointer != nullptr) return;
    RecordFailure(FailureStep::NullArgument, E_POINTER, name);
    throw NullArgument();
}
