#include "frame/module_state.h"

#include <windows.h>

namespace {

// The current module state of each thread, in a TLS slot of this library's
// own: every guarded export reads and writes it twice, and a slot costs a
// few instructions where the compiler's emulated thread-locals cost a call
// into the runtime.
class ThreadModuleStates {
public:
    ThreadModuleStates() : slot_(TlsAlloc()) {}
    ~ThreadModuleStates() { TlsFree(slot_); }
    ThreadModuleStates(const ThreadModuleStates&) = delete;
    ThreadModuleStates& operator=(const ThreadModuleStates&) = delete;

    ModuleState* current() const { return static_cast<ModuleState*>(TlsGetValue(slot_)); }
    void set(ModuleState* state) const { TlsSetValue(slot_, state); }

private:
    DWORD slot_;
};

const ThreadModuleStates threadModuleStates;

}  // namespace

ModuleStateScope::ModuleStateScope(ModuleState* state)
    : previous_(threadModuleStates.current()) {
    threadModuleStates.set(state);
}

ModuleStateScope::~ModuleStateScope() { threadModuleStates.set(previous_); }
