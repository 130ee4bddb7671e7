#include "fault_shield.h"

// Called by the system's exception dispatch for the frame of CallShielded.
extern "C" EXCEPTION_DISPOSITION NTAPI ShieldHandler(EXCEPTION_RECORD* record, void*, CONTEXT*,
                                                   void*) {
    if ((record->ExceptionFlags & (EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND)) == 0)
        TerminateProcess(GetCurrentProcess(), record->ExceptionCode);
    return ExceptionContinueSearch;
}

#ifdef _WIN64
// x64 exceptions are dispatched by the frames' unwind information: the
// frame of this function names ShieldHandler as its exception handler.
// Its own 40 bytes of stack: the callee's 32-byte home area, and alignment.
__asm__(
    ".text\n"
    ".globl CallShielded\n"
    ".def CallShielded; .scl 2; .type 32; .endef\n"
    ".seh_proc CallShielded\n"
    ".seh_handler ShieldHandler, @except\n"
    "CallShielded:\n"
    "    subq $40, %rsp\n"
    "    .seh_stackalloc 40\n"
    "    .seh_endprologue\n"
    "    movq %rcx, %rax\n"
    "    movq %rdx, %rcx\n"
    "    callq *%rax\n"
    "    nop\n"  // the return address stays inside this function's range
    "    addq $40, %rsp\n"
    "    ret\n"
    ".seh_endproc\n");
#else
// x86 exceptions are dispatched along the thread's chain of registrations
// on the stack, whose head the thread information block holds: the call
// runs with one of this function's own at the head. (The program has no
// table of safe handlers, so the system accepts any.)
extern "C" HRESULT CallShielded(HRESULT (*call)(void*), void* context) {
    EXCEPTION_REGISTRATION_RECORD registration;
    __asm__ volatile("movl %%fs:0, %0" : "=r"(registration.Next));
    registration.Handler = &ShieldHandler;
    __asm__ volatile("movl %0, %%fs:0" : : "r"(&registration) : "memory");
    const HRESULT result = call(context);
    __asm__ volatile("movl %0, %%fs:0" : : "r"(registration.Next) : "memory");
    return result;
}
#endif
