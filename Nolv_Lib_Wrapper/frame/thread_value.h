// A pointer-sized value of each thread's own, in a TLS slot of this
// library's, allocated when the library loads and freed when it unloads.
// The first 64 slots lie in the thread's environment block itself, where
// reading and writing one is a load and a store: cheaper than TlsGetValue
// and TlsSetValue, which are calls that also reset the host's last error.
// A thread's value starts as 0.
#pragma once

#include <windows.h>
#include <winternl.h>

class ThreadValue {
public:
    ThreadValue() : slot_(TlsAlloc()) {}
    ~ThreadValue() { TlsFree(slot_); }
    ThreadValue(const ThreadValue&) = delete;
    ThreadValue& operator=(const ThreadValue&) = delete;

    void* get() const {
        if (slot_ < kSlotsInBlock) return ThreadBlock()->TlsSlots[slot_];
        return TlsGetValue(slot_);
    }
    void set(void* value) const {
        if (slot_ < kSlotsInBlock)
            ThreadBlock()->TlsSlots[slot_] = value;
        else
            TlsSetValue(slot_, value);
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
