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

void InterruptExport(ThreadState& thread, CallFrame& interrupted) noexcept {
    CopyRecord(thread.record, interrupted.saved);
    interrupted.spilled = true;
}

void BeginCallWithoutState(const ExportCall& call) noexcept { BeginCall(WorkingRecord(), call); }

void UndoComInitializations(ThreadState& thread) noexcept {
    for (unsigned n = std::exchange(thread.pendingUninitializations, 0u); n > 0; --n) CoUninitialize();
}

void ReleaseUnlessCalled(IUnknown* reference) noexcept {
    if (reference == nullptr) return;
    const ThreadState* thread = CurrentThreadState();
    CallFrame* keeper = nullptr;
    int place = 0;
    for (CallFrame* frame = thread != nullptr ? thread->innermost : nullptr; frame != nullptr;
         frame = frame->outer) {
        for (int i = 0; i < kCalledReferences; ++i) {
            if (frame->calling[i] != reference) continue;
            // A call that already holds one keeps the object alive.
            if (frame->owned[i] != nullptr) {
                reference->Release();
                return;
            }
            keeper = frame;
            place = i;
        }
    }
    if (keeper != nullptr)
        keeper->owned[place] = reference;
    else
        reference->Release();
}

// The dispatch reference first: an isolated component's process ends with
// its keeper, once nothing holds its proxy.
void ReleaseHandedOver(CallFrame& frame) noexcept {
    for (IUnknown*& owned : frame.owned) {
        if (owned != nullptr) std::exchange(owned, nullptr)->Release();
    }
}

void TakeBackRecord(ThreadState& thread) noexcept {
    CallFrame* frame = thread.innermost;
    if (frame == nullptr || !frame->spilled) return;
    CopyRecord(frame->saved, thread.record);
    frame->spilled = false;
}
