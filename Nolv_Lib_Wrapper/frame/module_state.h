// The class library's module state: which module's resources and
// application object a call runs against. The current state is kept per
// thread; every guarded export switches it to this library's own state and
// restores the caller's on the way out.
#pragma once

#include "frame/thread_state.h"

class CWinApp;

struct ModuleState {
    CWinApp* app = nullptr;
};

// This library's own module state, created first among its static objects.
ModuleState* LibraryModuleState();

// Switches the thread's module state for the lifetime of the scope and
// restores the previous one on every way out, exceptions included. A
// thread without a state of its own (no memory left to make it) has no
// module state to switch.
class ModuleStateScope {
public:
    ModuleStateScope(ThreadState* thread, ModuleState* state)
        : thread_(thread), previous_(thread != nullptr ? thread->moduleState : nullptr) {
        if (thread_ != nullptr) thread_->moduleState = state;
    }
    ~ModuleStateScope() {
        if (thread_ != nullptr) thread_->moduleState = previous_;
    }
    ModuleStateScope(const ModuleStateScope&) = delete;
    ModuleStateScope& operator=(const ModuleStateScope&) = delete;

private:
    ThreadState* thread_;
    ModuleState* previous_;
};
