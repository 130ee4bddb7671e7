// The components loaded through the library itself, as a host loads them.
// The doctor's own checks create a component as the library does; only
// the library's own load shows what the library meets, and its record of
// why a load failed says so in the library's words.
#pragma once

#include <windows.h>

#include <string>

#include "doctor/check.h"
#include "doctor/component_checks.h"
#include "wrapper_exports.h"

// The library at the path, loaded for the doctor's process while it lives.
class LibraryUnderCheck {
public:
    explicit LibraryUnderCheck(const std::wstring& path);
    ~LibraryUnderCheck();
    LibraryUnderCheck(const LibraryUnderCheck&) = delete;
    LibraryUnderCheck& operator=(const LibraryUnderCheck&) = delete;

    // Loads the component through the library, reads the library's reason
    // when the load did not return 1, and frees it again. COM must be
    // initialised on the calling thread, as it is in a host's. earlierFailed:
    // a check of the component failed before.
    Check LoadCheck(const ComponentNeeds& component, bool earlierFailed) const;

private:
    HMODULE module_;
    WrapperExports exports_{};
    std::string unusable_;  // why the library cannot be called; empty when it can
};
