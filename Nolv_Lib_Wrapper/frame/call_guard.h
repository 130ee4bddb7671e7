// The call guard that every export but FreeNolvSys and
// Nolv_Lib_WrapperAboutBox runs under: the body runs in this library's
// module state, and any exception it raises is contained and turned into
// the export's fixed fallback, which runs in the caller's module state.
// Processor faults are not exceptions and are not caught.
#pragma once

#include "frame/failure_record.h"
#include "frame/module_state.h"

// The guard alone, for the exports that read the failure record and must
// leave it as it is.
template <class Body, class Fallback>
auto Guarded(Body&& body, Fallback&& fallback) noexcept -> decltype(body()) {
    try {
        ModuleStateScope moduleState(LibraryModuleState());
        return body();
    } catch (...) {
        return fallback();  // in the handler: it may look at the exception
    }
}

// An export's call: it starts a new failure record, and an exception that
// reaches the guard is recorded unless its cause already was.
template <class Body, class Fallback>
auto GuardedExport(const ExportCall& call, Body&& body, Fallback&& fallback) noexcept
    -> decltype(body()) {
    BeginCall(call);
    return Guarded(static_cast<Body&&>(body), [&] {
        RecordCaughtException();
        return fallback();
    });
}
