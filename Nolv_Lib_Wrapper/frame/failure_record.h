// The record of why the library's most recent call failed, for the host to
// read when it asks (the library itself never logs or shows it). It is
// kept for the process, like the component slots: the host makes all its
// calls from one thread. It has a fixed size, so that a failure to get
// memory is explained like any other.
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
    NotLoaded,           // an operation on a component the host has not loaded
    MethodLookup,        // GetIDsOfNames
    Call,                // Invoke
    ComponentGone,       // the component's process ended under a loaded slot
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
    MessageBox,
    Unexpected,          // an exception of no known kind
};

struct FailureRecord {
    const ExportCall* call;
    HRESULT status;  // S_OK: the call has not failed; the text is then stale
    wchar_t text[1024];
};

extern FailureRecord lastFailure;

inline void BeginCall(const ExportCall& call) noexcept {
    lastFailure.call = &call;
    lastFailure.status = S_OK;
}

inline bool CallHasFailed() noexcept { return lastFailure.status != S_OK; }

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

// The status of the last call's failure, S_OK when it did not fail, and
// its line ("" when it did not fail).
HRESULT LastFailureStatus() noexcept;
const wchar_t* LastFailureText() noexcept;
