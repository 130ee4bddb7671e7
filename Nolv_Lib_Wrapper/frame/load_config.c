/* The stack protector's guard and failure path, and the image's load
 * configuration, which tells the Windows loader where the guard lives.
 *
 * The compiler's stack checks compare each protected frame's copy of
 * __stack_chk_guard with the original on return. The toolchain's own
 * definition (libssp) would seed the guard through the cryptography API
 * and report failures through the C runtime's file functions: imports this
 * library must not add. Here the loader seeds it instead: it writes a
 * random value, new in every process, over the location the load
 * configuration names as the security cookie, provided that location still
 * holds the architecture's default cookie, and does so before any code of
 * the image runs. */
#include <stdint.h>

#ifdef _WIN64
#define DEFAULT_SECURITY_COOKIE 0x00002B992DDFA232ull
#else
#define DEFAULT_SECURITY_COOKIE 0xBB40E64Eu
#endif

uintptr_t __stack_chk_guard = DEFAULT_SECURITY_COOKIE;

/* A smashed frame means the stack can no longer be trusted, not even to run
 * exception handlers: end the process at once through the fail-fast
 * interrupt (FAST_FAIL_STACK_COOKIE_CHECK_FAILURE), as Windows' own stack
 * checks do. */
__attribute__((noreturn)) void __stack_chk_fail(void) {
    __asm__ volatile("int $0x29" : : "c"(2));
    __builtin_trap();
}

/* The load configuration as Windows 10 reads it, up to the code integrity
 * fields (the mingw-w64 headers stop before Control Flow Guard's).
 * Fields left zero mean "not used"; the flags say no CFG. GNU ld does not
 * point the image's directory entry at this structure: the build does it
 * after the link (cmake/load_config_directory.py). */
typedef struct {
    uint32_t Size;
    uint32_t TimeDateStamp;
    uint16_t MajorVersion;
    uint16_t MinorVersion;
    uint32_t GlobalFlagsClear;
    uint32_t GlobalFlagsSet;
    uint32_t CriticalSectionDefaultTimeout;
    uintptr_t DeCommitFreeBlockThreshold;
    uintptr_t DeCommitTotalFreeThreshold;
    uintptr_t LockPrefixTable;
    uintptr_t MaximumAllocationSize;
    uintptr_t VirtualMemoryThreshold;
#ifdef _WIN64
    uintptr_t ProcessAffinityMask;
    uint32_t ProcessHeapFlags;
#else
    uint32_t ProcessHeapFlags;
    uintptr_t ProcessAffinityMask;
#endif
    uint16_t CSDVersion;
    uint16_t DependentLoadFlags;
    uintptr_t EditList;
    uintptr_t SecurityCookie;
    uintptr_t SEHandlerTable;
    uintptr_t SEHandlerCount;
    uintptr_t GuardCFCheckFunctionPointer;
    uintptr_t GuardCFDispatchFunctionPointer;
    uintptr_t GuardCFFunctionTable;
    uintptr_t GuardCFFunctionCount;
    uint32_t GuardFlags;
    uint16_t CodeIntegrityFlags;
    uint16_t CodeIntegrityCatalog;
    uint32_t CodeIntegrityCatalogOffset;
    uint32_t CodeIntegrityReserved;
} LoadConfiguration;

_Static_assert(sizeof(LoadConfiguration) == (sizeof(void*) == 8 ? 0xA0 : 0x68),
               "the documented size of this layout");

__attribute__((used)) const LoadConfiguration _load_config_used = {
    .Size = sizeof(LoadConfiguration),
    .SecurityCookie = (uintptr_t)&__stack_chk_guard,
};
