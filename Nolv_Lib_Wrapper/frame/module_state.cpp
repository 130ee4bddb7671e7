#include "frame/module_state.h"

#include "frame/thread_state.h"

ModuleStateScope::ModuleStateScope(ThreadState* thread, ModuleState* state)
    : thread_(thread), previous_(thread != nullptr ? thread->moduleState : nullptr) {
    if (thread_ != nullptr) thread_->moduleState = state;
}

ModuleStateScope::~ModuleStateScope() {
    if (thread_ != nullptr) thread_->moduleState = previous_;
}
