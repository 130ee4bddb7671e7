// What the static C++ runtime keeps for a module, given back when the
// module is unloaded, so that a host may load and unload it any number of
// times in one process.
//
// The runtime linked into the module makes a few system objects for itself
// the first time it needs them, and never releases them, because it counts
// on living until the process ends: exception handling keeps its
// per-thread state behind a TLS slot, set up under a lock, at the first
// throw; on i686 the unwinder guards its registry of the module's frame
// tables with a lock, made at load. Each lock is a semaphore. It also keeps
// an emergency pool for exceptions thrown when memory is exhausted. Lost on
// every unload, they add up: after about a thousand cycles a host has no
// TLS slot left.
//
// The runtime reaches the system through the module's import entries for
// TlsAlloc and CreateSemaphoreW. The module defines those entries itself:
// every such call made in the module goes through a ledger that remembers
// what is still held, and TlsFree and CloseHandle go through it too, so
// that nothing is given back twice. The module's first static object is
// destroyed last, after every other one (the runtime's own included), and
// then gives back what the ledger still holds.
#include <windows.h>

namespace __gnu_cxx {
void __freeres() noexcept;  // libstdc++: releases the emergency exception pool
}

namespace {

// The real functions, looked up at first use: the import entries that
// would name them are this file's. No guard (a guarded static would take a
// runtime lock, made through these very functions); every thread finds the
// same address.
template <class Function>
Function Kernel32(Function& found, const char* name) {
    if (found == nullptr)
        found = reinterpret_cast<Function>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), name)));
    return found;
}

DWORD(WINAPI* tlsAlloc)();
BOOL(WINAPI* tlsFree)(DWORD);
HANDLE(WINAPI* createSemaphoreW)(LPSECURITY_ATTRIBUTES, LONG, LONG, LPCWSTR);
BOOL(WINAPI* closeHandle)(HANDLE);

DWORD RealTlsAlloc() { return Kernel32(tlsAlloc, "TlsAlloc")(); }
BOOL RealTlsFree(DWORD slot) { return Kernel32(tlsFree, "TlsFree")(slot); }
HANDLE RealCreateSemaphoreW(LPSECURITY_ATTRIBUTES security, LONG initial, LONG maximum,
                            LPCWSTR name) {
    return Kernel32(createSemaphoreW, "CreateSemaphoreW")(security, initial, maximum, name);
}
BOOL RealCloseHandle(HANDLE handle) { return Kernel32(closeHandle, "CloseHandle")(handle); }

// A few entries of one kind, held until released. The runtime makes three
// objects at most; one that finds the ledger full is simply not given back.
template <class Entry>
class Held {
public:
    void Add(Entry entry) {
        AcquireSRWLockExclusive(&lock_);
        if (count_ < kCapacity) entries_[count_++] = entry;
        ReleaseSRWLockExclusive(&lock_);
    }
    void Remove(Entry entry) {
        AcquireSRWLockExclusive(&lock_);
        for (int i = 0; i < count_; ++i)
            if (entries_[i] == entry) entries_[i] = entries_[--count_];
        ReleaseSRWLockExclusive(&lock_);
    }
    // Without the lock: by then the process is unloading the module (or
    // ending), and no other thread may be running in it.
    template <class Release>
    void ReleaseAll(Release release) {
        for (int i = 0; i < count_; ++i) release(entries_[i]);
        count_ = 0;
    }

private:
    static constexpr int kCapacity = 16;
    SRWLOCK lock_ = SRWLOCK_INIT;
    Entry entries_[kCapacity] = {};
    int count_ = 0;
};

// Constant-initialised: ready before the first static constructor runs.
Held<DWORD> heldSlots;
Held<HANDLE> heldSemaphores;

DWORD WINAPI LedgerTlsAlloc() {
    const DWORD slot = RealTlsAlloc();
    if (slot != TLS_OUT_OF_INDEXES) heldSlots.Add(slot);
    return slot;
}

BOOL WINAPI LedgerTlsFree(DWORD slot) {
    heldSlots.Remove(slot);
    return RealTlsFree(slot);
}

HANDLE WINAPI LedgerCreateSemaphoreW(LPSECURITY_ATTRIBUTES security, LONG initial, LONG maximum,
                                     LPCWSTR name) {
    const HANDLE semaphore = RealCreateSemaphoreW(security, initial, maximum, name);
    if (semaphore != nullptr) heldSemaphores.Add(semaphore);
    return semaphore;
}

BOOL WINAPI LedgerCloseHandle(HANDLE handle) {
    heldSemaphores.Remove(handle);
    return RealCloseHandle(handle);
}

// Constructed before every other static object of the module, so destroyed
// after all of them.
struct RuntimeRelease {
    ~RuntimeRelease() {
        __gnu_cxx::__freeres();
        heldSlots.ReleaseAll(RealTlsFree);
        heldSemaphores.ReleaseAll(RealCloseHandle);
    }
};
__attribute__((init_priority(101))) RuntimeRelease runtimeRelease;

}  // namespace

// The import entries, under the names the linker gives them: on i686 with
// the stdcall decoration (the size of the arguments in bytes).
#ifdef _WIN64
#define IMPORT_ENTRY(function, argumentBytes) "__imp_" #function
#else
#define IMPORT_ENTRY(function, argumentBytes) "__imp__" #function "@" #argumentBytes
#endif

extern "C" {
extern void* const tlsAllocEntry __asm__(IMPORT_ENTRY(TlsAlloc, 0));
extern void* const tlsFreeEntry __asm__(IMPORT_ENTRY(TlsFree, 4));
extern void* const createSemaphoreWEntry __asm__(IMPORT_ENTRY(CreateSemaphoreW, 16));
extern void* const closeHandleEntry __asm__(IMPORT_ENTRY(CloseHandle, 4));

void* const tlsAllocEntry = reinterpret_cast<void*>(&LedgerTlsAlloc);
void* const tlsFreeEntry = reinterpret_cast<void*>(&LedgerTlsFree);
void* const createSemaphoreWEntry = reinterpret_cast<void*>(&LedgerCreateSemaphoreW);
void* const closeHandleEntry = reinterpret_cast<void*>(&LedgerCloseHandle);
}
