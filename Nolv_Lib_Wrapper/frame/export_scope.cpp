#include "frame/export_scope.h"

#include <objbase.h>

#include <cstring>
#include <utility>

namespace {

// The part of a record that is in use: all of it but the unused text.
void CopyRecord(const FailureRecord& from, FailureRecord& to) {
    to.call = from.call;
    to.status = from.status;
    to.length = from.length;
    if (from.status == S_OK) return;
    const unsigned length = from.length < kFailureTextCapacity ? from.length : kFailureTextCapacity - 1;
    std::memcpy(to.text, from.text, length * sizeof(wchar_t));
    to.text[length] = L'\0';
}

}  // namespace

ExportScope::ExportScope(const ExportCall& call) noexcept : thread_(EnsureThreadState()) {
    if (thread_ == nullptr) {
        BeginCall(WorkingRecord(), call);
        return;
    }
    frame_.outer = thread_->innermost;
    frame_.spilled = false;
    // An interrupted export whose record is already aside keeps it there:
    // the record holds an earlier nested export's outcome.
    if (frame_.outer != nullptr && !frame_.outer->spilled) {
        CopyRecord(thread_->record, frame_.outer->saved);
        frame_.outer->spilled = true;
    }
    thread_->innermost = &frame_;
    BeginCall(thread_->record, call);
}

ExportScope::~ExportScope() {
    if (thread_ == nullptr) return;
    TakeBackRecord(*thread_);
    thread_->innermost = frame_.outer;
    if (frame_.outer != nullptr) return;
    for (unsigned n = std::exchange(thread_->pendingUninitializations, 0u); n > 0; --n)
        CoUninitialize();
}

void TakeBackRecord(ThreadState& thread) noexcept {
    CallFrame* frame = thread.innermost;
    if (frame == nullptr || !frame->spilled) return;
    CopyRecord(frame->saved, thread.record);
    frame->spilled = false;
}
