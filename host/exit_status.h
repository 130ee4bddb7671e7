// How a session ends, as the exit status a calling script sees.
#pragma once

#include <stdexcept>
#include <string>

enum class ExitStatus {
    // Every command was run, whatever the library's functions returned.
    SessionRun = 0,
    // The host could not do its own part (the clipboard stayed out of reach).
    HostFailed = 1,
    WrongInvocation = 2,
    // Nolv_Lib_Wrapper.dll, or one of its functions, is not beside the host.
    LibraryMissing = 3,
    // nolvhost doctor: every check passed, or at least one failed.
    ChecksPassed = 0,
    ChecksFailed = 1,
    // nolvhost surrogate: done (or nothing to do), or a component is not
    // registered for 32-bit processes.
    SurrogateChanged = 0,
    SurrogateRefused = 1,
};

// Ends the session early; the message is for a person, on stderr.
class SessionError : public std::runtime_error {
public:
    SessionError(ExitStatus status, const std::string& message)
        : std::runtime_error(message), status_(status) {}

    ExitStatus status() const { return status_; }

private:
    ExitStatus status_;
};
