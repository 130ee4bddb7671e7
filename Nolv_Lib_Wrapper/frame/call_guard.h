// The call guard that every export but FreeNolvSys and
// Nolv_Lib_WrapperAboutBox runs under: the body runs in this library's
// module state, and any exception it raises is contained and turned into
// the export's fixed fallback, which runs in the caller's module state.
// Processor faults are not exceptions and are not caught.
#pragma once

#include "frame/export_scope.h"
#include "frame/failure_record.h"
#include "frame/module_state.h"

// The guard alone, on the thread's state (null: none to switch).
template <class Body, class Fallback>
auto Guarded(ThreadState* thread, Body&& body, Fallback&& fallback) noexcept -> decltype(body()) {
    try {
        ModuleStateScope moduleState(thread, LibraryModuleState());
        return body();
    } catch (...) {
        return fallback();  // in the handler: it may look at the exception
    }
}

// For the exports that read the failure record and must leave it as it is.
template <class Body, class Fallback>
auto Guarded(Body&& body, Fallback&& fallback) noexcept -> decltype(body()) {
    return Guarded(CurrentThreadState(), static_cast<Body&&>(body), static_cast<Fallback&&>(fallback));
}

// An export's call: it starts a record of its own, and an exception that
// reaches the guard is recorded unless its cause already was. Without
// memory for the thread's state the body does not run at all.
template <class Body, class Fallback>
auto GuardedExport(const ExportCall& call, Body&& body, Fallback&& fallback) noexcept
    -> decltype(body()) {
    const ExportScope scope(call);
    if (!scope) {
        RecordFailure(FailureStep::Memory, E_OUTOFMEMORY);
        return fallback();
    }
    return Guarded(scope.thread(), static_cast<Body&&>(body), [&] {
        RecordCaughtException();
        return fallback();
    });
}
