// nolvhost surrogate on|off: sets up, or removes, the system's DLL
// surrogate for the two components where they are registered for 32-bit
// processes, so that a 64-bit host's library creates them out of process.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "exit_status.h"

enum class SurrogateAction { On, Off };

// The words after "surrogate". Throws SessionError (WrongInvocation).
SurrogateAction ParseSurrogateAction(const std::vector<std::string>& words);

// Prints a line for each change made, or why none was; SurrogateRefused
// when a component is not registered for 32-bit processes. Throws
// SessionError (HostFailed) when the registry refuses a change, after
// printing the changes already made.
ExitStatus ChangeSurrogate(SurrogateAction action, std::ostream& out);
