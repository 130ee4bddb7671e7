// What the library and nolvsurrogate.exe, the program that runs a component
// in a process of its own, agree on. The library starts the program as
//     nolvsurrogate.exe {CLSID} PIPE HOST RELEASED
// where PIPE is the write end of an anonymous pipe, HOST a handle of the
// library's process and RELEASED an event (all inherited, as decimal
// numbers). The program creates the component in its own apartment and
// writes one hand-over through the pipe: a header, then on success the
// component's IDispatch marshalled by COM (MSHCTX_LOCAL, MSHLFLAGS_NORMAL),
// which the library unmarshals into its proxy. Nothing else ever crosses
// the pipe. Once the library has released the proxy it sets RELEASED, and
// the program ends.
#pragma once

#include <windows.h>

// Where making the component stopped; kSurrogateReady when it did not.
enum SurrogateStep : DWORD {
    kSurrogateReady = 0,
    kSurrogateInitialiseCom = 1,
    kSurrogateCreateObject = 2,
    kSurrogateQueryDispatch = 3,
    kSurrogateMarshal = 4,
};

struct SurrogateHandOver {
    HRESULT status;  // S_OK, or the failed step's status
    DWORD step;      // a SurrogateStep
    DWORD length;    // bytes of marshalled IDispatch after the header
};

// Its marshalled IDispatch is a few hundred bytes; anything much larger is
// not a hand-over.
constexpr DWORD kSurrogateHandOverLimit = 64 * 1024;

// How long the program waits for RELEASED after the last reference went.
constexpr DWORD kSurrogateReleaseWait = 5000;

// How the program's process ended, read from its exit code. A crash ends
// it with the exception's code (0xC0000005 for an access violation); the
// codes below are chosen apart from every exception code and HRESULT.
constexpr DWORD kSurrogateLastObjectReleased = 0;
constexpr DWORD kSurrogateHostEnded = 0x4E4F0001;       // the library's process ended
constexpr DWORD kSurrogateEndedByLibrary = 0x4E4F0002;  // the library freed the component
constexpr DWORD kSurrogateEndedForTimeLimit = 0x4E4F0003;  // a call passed its time limit
