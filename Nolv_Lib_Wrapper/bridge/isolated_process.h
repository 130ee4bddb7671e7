// A component in a process of its own. nolvsurrogate.exe, found beside the
// library, creates it there and hands its IDispatch over through COM's
// standard marshalling, so that the library calls it through a proxy: a
// crash in the component ends that process, not the host, and a call that
// passes its time limit is ended by ending the process (COM under Wine
// cannot cancel a call). The process ends when the component is freed,
// and when the library's process ends, however it ends: it is in a job
// that is closed with the library's process, and it watches that process
// itself too.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include "bridge/automation_owners.h"
#include "bridge/process_owners.h"
#include "bridge/surrogate_hand_over.h"

// Where starting stopped.
enum class IsolationStep {
    kFindSurrogate,   // the library's own path, beside which the program is
    kStartSurrogate,  // the pipe, the process, its job
    kReceive,         // the process ended before handing the component over
    kInitialiseCom,   // in the surrogate: its apartment
    kCreateObject,    // in the surrogate: CoCreateInstance, in process there
    kQueryDispatch,   // in the surrogate: the object's IDispatch
    kMarshal,         // in the surrogate: marshalling it for the library
    kUnmarshal,       // the library's proxy, in the calling thread's apartment
};

struct IsolationFailure {
    HRESULT status;      // S_OK when started
    IsolationStep step;  // where it stopped, when it did
    // With kReceive, how the process ended (see surrogate_hand_over.h);
    // kSurrogateEndedForTimeLimit when the start limit ended it.
    DWORD exitCode;
};

class IsolatedProcess {
public:
    IsolatedProcess() = default;
    ~IsolatedProcess() { End(); }
    IsolatedProcess(const IsolatedProcess&) = delete;
    IsolatedProcess& operator=(const IsolatedProcess&) = delete;

    // Starts a surrogate for the class and receives the component, ending
    // what this object ran before. On the 64-bit library a class that is
    // registered for 32-bit processes only runs in the 32-bit surrogate,
    // nolvsurrogate32.exe. COM must be initialised on the calling thread:
    // the proxy belongs to its apartment, and is used from there only.
    // startLimit bounds the whole start; callLimit each later call
    // (CallTimeLimit) and the release in End. Milliseconds, 0 for none.
    // A failed start leaves nothing running.
    IsolationFailure Start(const CLSID& classId, DWORD startLimit, DWORD callLimit);

    // The component's proxy; null when not started. Borrowed: AddRef it to
    // keep it.
    IDispatch* dispatch() const { return proxy_.get(); }

    // STILL_ACTIVE while the process runs (and when none was started);
    // otherwise how it ended (surrogate_hand_over.h), waiting up to wait
    // milliseconds for a process that is ending: a call sees the process
    // gone a moment before its exit code is there.
    DWORD ExitCode(DWORD wait = 0) const;

    // Releases the proxy and tells the surrogate, which then ends by
    // itself; ends the process if it has not within a moment, and waits for
    // it; closes everything. Nothing runs afterwards. Not during a call on
    // the proxy.
    void End();

private:
    friend class CallTimeLimit;

    // Start without the clean-up of a failure, which waits for the start
    // limit's timer to be disarmed.
    IsolationFailure Launch(const CLSID& classId, DWORD startLimit);

    KernelHandle process_;
    KernelHandle job_;
    KernelHandle released_;  // set once the proxy is released: the surrogate may end
    PoolTimer timer_;  // ends the process when a limit passes
    ComPtr<IDispatch> proxy_;
    DWORD callLimit_ = 0;
    int limitedCalls_ = 0;  // the calls under way under the limit, nested ones included
};

// Keeps the time limit of an isolated component over one call on its
// proxy: if the call lasts longer, the process is ended with the exit code
// kSurrogateEndedForTimeLimit, and the waiting call returns at once
// (RPC_S_CALL_FAILED as an HRESULT, 0x800706BE). A call nested in another
// (the host re-entering during COM's wait) runs under the outer call's
// limit.
class CallTimeLimit {
public:
    explicit CallTimeLimit(IsolatedProcess& process);
    ~CallTimeLimit();
    CallTimeLimit(const CallTimeLimit&) = delete;
    CallTimeLimit& operator=(const CallTimeLimit&) = delete;

private:
    IsolatedProcess& process_;
};
