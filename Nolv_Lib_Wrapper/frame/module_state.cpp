#include "frame/module_state.h"

#include <windows.h>
#include <winternl.h>

namespace {

// The current module state of each thread, in a TLS slot of this library's
// own: every guarded export reads it once and writes it twice, and a slot
// costs a few instructions where the compiler's emulated thread-locals cost
// a call into the runtime. The first 64 slots lie in the thread's
// environment block itself, where reading and writing one is a load and a
// store: cheaper than TlsGetValue and TlsSetValue, which are calls that
// also reset the host's last error.
class ThreadModuleStates {
public:
    ThreadModuleStates() : slot_(TlsAlloc()) {}
    ~ThreadModuleStates() { TlsFree(slot_); }
    ThreadModuleStates(const ThreadModuleStates&) = delete;
    ThreadModuleStates& operator=(const ThreadModuleStates&) = delete;

    ModuleState* current() const {
        if (slot_ < kSlotsInBlock) return static_cast<ModuleState*>(ThreadBlock()->TlsSlots[slot_]);
        return static_cast<ModuleState*>(TlsGetValue(slot_));
    }
    void set(ModuleState* state) const {
        if (slot_ < kSlotsInBlock)
            ThreadBlock()->TlsSlots[slot_] = state;
        else
            TlsSetValue(slot_, state);
    }

private:
    static constexpr DWORD kSlotsInBlock = 64;
    // What NtCurrentTeb reads, without its intrinsic, which GCC 12 warns about.
    static TEB* ThreadBlock() {
        TEB* block;
#ifdef _WIN64
        asm("movq %%gs:0x30, %0" : "=r"(block));
#else
        asm("movl %%fs:0x18, %0" : "=r"(block));
#endif
        return block;
    }

    DWORD slot_;
};

const ThreadModuleStates threadModuleStates;

}  // namespace

ModuleStateScope::ModuleStateScope(ModuleState* state)
    : previous_(threadModuleStates.current()) {
    threadModuleStates.set(state);
}

ModuleStateScope::~ModuleStateScope() { threadModuleStates.set(previous_); }
