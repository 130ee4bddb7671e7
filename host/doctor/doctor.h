// nolvhost doctor: checks everything Nolv_Lib_Wrapper.dll needs on this
// machine, as seen from a process of this program's bitness, and says for
// each failure why a load or a call would return 0 and what to do.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "exit_status.h"

struct DoctorOptions {
    std::optional<std::string> library;  // --library PATH, in UTF-8
};

// The words after "doctor". Throws SessionError (WrongInvocation).
DoctorOptions ParseDoctorOptions(const std::vector<std::string>& words);

// Prints a line for each check and a summary; ChecksPassed when none failed.
ExitStatus RunDoctor(const DoctorOptions& options, std::ostream& out);
