#include "common/module_lock.h"

#include "common/com_headers.h"

namespace {
LONG moduleLocks = 0;  // interlocked: COM may release objects from any thread
}  // namespace

void LockModule() { InterlockedIncrement(&moduleLocks); }

void UnlockModule() { InterlockedDecrement(&moduleLocks); }

bool ModuleInUse() { return InterlockedCompareExchange(&moduleLocks, 0, 0) != 0; }
