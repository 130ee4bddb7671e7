// The record of why the library's most recent call on a thread failed,
// for the host to read when it asks (the library itself never logs or
// shows it). Each thread has its own, as with GetLastError: when an export
// returns, its thread's record is that export's own outcome. It has a
// fixed size, so that a failure to get memory is explained like any other.
//
// Every export but the two that read the record starts by naming itself in
// it, which also forgets the previous failure: two stores. The first
// failure a call meets is the one recorded: whatever follows from it is not
// the reason.
#pragma once

#include <windows.h>

// What an export works on, in the words of its record: one constant per
// export.
struct ExportCall {
    const char* name;          // the export
    const wchar_t* component;  // "Nolv", "Sivat", or null
    const wchar_t* progId;     // the component's ProgID, or null
    const wchar_t* method;     // the component method the export calls, or null
};

// The step of a call that failed; each has its own words in the record.
enum class FailureStep {
    ComInitialization,   // CoInitialize, for a component's creation
    ProgIdLookup,        // CLSIDFromProgID
    Creation,            // CoCreateInstance
    NoAutomation,        // QueryInterface for IDispatch
    SurrogateStart,      // an isolated component's process could not be started
    SurrogateHandOver,   // ... or did not hand the component over
    NotLoaded,           // an operation on a component the host has not loaded
    MethodLookup,        // GetIDsOfNames
    Call,                // Invoke
    ComponentGone,       // the component's process ended under a loaded slot
    WrongThread,         // a call through a proxy from a thread that did not load it
    ComponentCrashed,    // an isolated component's process ended during a call
    CallTimeLimit,       // ... or was ended because the call passed its time limit
    NoResult,            // the method succeeded but gave no result
    ResultType,          // its result does not convert to what the export reads
    ConversionIn,        // a host text into the component's UTF-16
    ConversionOut,       // the component's text into the ANSI code page
    BufferTooSmall,      // the host's buffer holds only part of the text
    ClipboardOpen,
    ClipboardWrite,
    ClipboardRead,
    Memory,
    NullArgument,        // a host pointer the call cannot do without
    ArgumentOutOfRange,  // a host value the call does not take
    MessageBox,
    Unexpected,          // an exception of no known kind
};

inline constexpr unsigned kFailureTextCapacity = 1024;  // UTF-16 units, the NUL included

struct FailureRecord {
    const ExportCall* call;
    HRESULT status;   // S_OK: the call has not failed; the text is then stale
    unsigned length;  // of the line, where a detail continues it
    wchar_t text[kFailureTextCapacity];
};

// The record the running export writes: the calling thread's.
FailureRecord& WorkingRecord() noexcept;

inline void BeginCall(FailureRecord& record, const ExportCall& call) noexcept {
    record.call = &call;
    record.status = S_OK;
}

inline bool CallHasFailed() noexcept { return WorkingRecord().status != S_OK; }

// Records the failure of step with status (S_OK or a success status is
// recorded as E_FAIL, so that a failure never reads as none), unless the
// call has already failed: true when this one was recorded. subject names
// what the step's words need beyond the call (the argument of a
// NullArgument). The line reads
//   EXPORT: WHAT FAILED: 0xHRESULT (the system's message)
// and AddFailureDetail continues it: "; detail".
bool RecordFailure(FailureStep step, HRESULT status, const wchar_t* subject = nullptr) noexcept;
void AddFailureDetail(const wchar_t* detail) noexcept;

// Records the exception being handled, unless the call has already failed:
// called from a catch block.
void RecordCaughtException() noexcept;

// The calling thread's record as the readers see it: the outcome of the
// last export that returned on the thread (or of the one running). The
// status is S_OK when it did not fail, and the line is then "".
HRESULT LastFailureStatus() noexcept;
const wchar_t* LastFailureText() noexcept;
