// An export running on a thread. Exports nest: a component's method, a
// dialog or COM's wait for another process may let the host call the
// library again before the export returns. Each export has a frame on its
// own stack, and the thread keeps the innermost one, so that
//  - an export nested in another starts a record of its own, which the
//    host may read once it returns, while the interrupted export's record
//    is moved into the interrupted export's frame; the interrupted export
//    takes it back when it next records anything, or when it returns, so
//    that each export returns with its own outcome in the record;
//  - COM initialisations that a nested FreeNolvSys gives up are undone
//    only once the outermost export returns, never under a component's
//    running method.
#pragma once

#include "frame/failure_record.h"
#include "frame/thread_state.h"

struct CallFrame {
    CallFrame* outer;     // the export this one interrupted, or null
    bool spilled;         // a nested export moved this export's record into saved
    FailureRecord saved;  // only what the record used is copied
};

class ExportScope {
public:
    // Starts the export's record. Without memory for the thread's state
    // (its first call) there is no frame, and the record is the spare one.
    explicit ExportScope(const ExportCall& call) noexcept;
    ~ExportScope();
    ExportScope(const ExportScope&) = delete;
    ExportScope& operator=(const ExportScope&) = delete;

    explicit operator bool() const { return thread_ != nullptr; }
    ThreadState* thread() const { return thread_; }

private:
    ThreadState* thread_;
    CallFrame frame_;
};

// Gives the innermost export its record back if a nested one moved it.
void TakeBackRecord(ThreadState& thread) noexcept;
