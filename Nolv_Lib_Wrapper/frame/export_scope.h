// An export running on a thread. Exports nest: a component's method, a
// dialog or COM's wait for another process may let the host call the
// library again before the export returns. Each export has a frame on its
// own stack, and the thread keeps the innermost one, so that
//  - an export nested in another starts a record of its own, which the
//    host may read once it returns, while the interrupted export's record
//    is moved into the interrupted export's frame; the interrupted export
//    takes it back when it next records anything, or when it returns, so
//    that each export returns with its own outcome in the record;
//  - a component the slots let go of while an export is calling it (a
//    nested FreeNolvSys or load) is handed to the outermost export still
//    calling it, which releases it as it returns: no object is destroyed
//    while one of its methods runs, and no call pays for a reference of
//    its own when nothing lets go;
//  - COM initialisations that a nested FreeNolvSys gives up are undone
//    only once the outermost export returns, never under a component's
//    running method.
#pragma once

#include <unknwn.h>

#include "frame/failure_record.h"
#include "frame/thread_state.h"

// What an export calls: the component's dispatch reference and, when it
// runs isolated, the keeper of its process.
constexpr int kCalledReferences = 2;

struct CallFrame {
    CallFrame* outer;     // the export this one interrupted, or null
    bool spilled;         // a nested export moved this export's record into saved
    IUnknown* calling[kCalledReferences];  // what the export calls, borrowed from a slot
    IUnknown* owned[kCalledReferences];    // ... and the references handed over to it
    FailureRecord saved;  // only what the record used is copied
};


// A reference a slot lets go of: handed to the outermost export on this
// thread that is calling it and holds none of it yet, or released now.
void ReleaseUnlessCalled(IUnknown* reference) noexcept;
void ReleaseHandedOver(CallFrame& frame) noexcept;

// What an export's frame does on its way in and out that most calls never
// need: the record of an interrupted export moved aside, the record of a
// thread without a state, the COM initialisations given up under a call.
void InterruptExport(ThreadState& thread, CallFrame& interrupted) noexcept;
// The export running deepest on the thread calls these.
inline void MarkCalling(IUnknown* dispatch, IUnknown* keeper) noexcept {
    const ThreadState* thread = CurrentThreadState();
    if (thread == nullptr || thread->innermost == nullptr) return;
    thread->innermost->calling[0] = dispatch;
    thread->innermost->calling[1] = keeper;
}

// Gives the innermost export its record back if a nested one moved it.
void TakeBackRecord(ThreadState& thread) noexcept;
void BeginCallWithoutState(const ExportCall& call) noexcept;
void UndoComInitializations(ThreadState& thread) noexcept;

class ExportScope {
public:
    // Starts the export's record. Without memory for the thread's state
    // (its first call) there is no frame, and the record is the spare one.
    explicit ExportScope(const ExportCall& call) noexcept : thread_(EnsureThreadState()) {
        if (thread_ == nullptr) {
            BeginCallWithoutState(call);
            return;
        }
        frame_.outer = thread_->innermost;
        frame_.spilled = false;
        frame_.calling[0] = frame_.calling[1] = nullptr;
        frame_.owned[0] = frame_.owned[1] = nullptr;
        // An interrupted export whose record is already aside keeps it
        // there: the record holds an earlier nested export's outcome.
        if (frame_.outer != nullptr && !frame_.outer->spilled) InterruptExport(*thread_, *frame_.outer);
        thread_->innermost = &frame_;
        BeginCall(thread_->record, call);
    }
    ~ExportScope() {
        if (thread_ == nullptr) return;
        if (frame_.spilled) TakeBackRecord(*thread_);
        thread_->innermost = frame_.outer;
        if (frame_.owned[0] != nullptr || frame_.owned[1] != nullptr) ReleaseHandedOver(frame_);
        if (frame_.outer == nullptr && thread_->pendingUninitializations != 0)
            UndoComInitializations(*thread_);
    }
    ExportScope(const ExportScope&) = delete;
    ExportScope& operator=(const ExportScope&) = delete;

    explicit operator bool() const { return thread_ != nullptr; }
    ThreadState* thread() const { return thread_; }

private:
    ThreadState* thread_;
    CallFrame frame_;
};
