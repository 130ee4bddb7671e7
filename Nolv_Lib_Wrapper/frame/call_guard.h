// The call guard that every export but FreeNolvSys and
// Nolv_Lib_WrapperAboutBox runs under: the body runs in this library's
// module state, and any exception it raises is contained and turned into
// the export's fixed fallback, which runs in the caller's module state.
// Processor faults are not exceptions and are not caught.
#pragma once

#include "frame/module_state.h"

template <class Body, class Fallback>
auto GuardedExport(Body&& body, Fallback&& fallback) noexcept -> decltype(body()) {
    try {
        ModuleStateScope moduleState(LibraryModuleState());
        return body();
    } catch (...) {
        return fallback();
    }
}
