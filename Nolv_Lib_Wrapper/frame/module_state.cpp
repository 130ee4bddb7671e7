#include "frame/module_state.h"

#include "frame/thread_value.h"

namespace {
// Every guarded export reads the thread's module state once and writes it
// twice: a slot of the library's own keeps that to a few instructions.
const ThreadValue threadModuleStates;
}  // namespace

ModuleStateScope::ModuleStateScope(ModuleState* state)
    : previous_(static_cast<ModuleState*>(threadModuleStates.get())) {
    threadModuleStates.set(state);
}

ModuleStateScope::~ModuleStateScope() { threadModuleStates.set(previous_); }
