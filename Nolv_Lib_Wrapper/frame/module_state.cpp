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

    AFX_MODULE_STATE* current() const { return static_cast<AFX_MODULE_STATE*>(TlsGetValue(slot_)); }
    void set(AFX_MODULE_STATE* state) const { TlsSetValue(slot_, state); }

private:
    DWORD slot_;
};

const ThreadModuleStates threadModuleStates;

}  // namespace

AFX_MODULE_STATE* AfxGetModuleState() { return threadModuleStates.current(); }

AFX_MAINTAIN_STATE::AFX_MAINTAIN_STATE(AFX_MODULE_STATE* state)
    : previous_(threadModuleStates.current()) {
    threadModuleStates.set(state);
}

AFX_MAINTAIN_STATE::~AFX_MAINTAIN_STATE() { threadModuleStates.set(previous_); }
