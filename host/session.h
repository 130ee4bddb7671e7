// Running a session: every command's call, in order, in this one process.
#pragma once

#include <ostream>
#include <vector>

#include "command_line.h"
#include "output_format.h"
#include "wrapper_exports.h"

// Writes each command's echo line before its call, so that a call that
// does not come back is still named, its result line after it, and, when
// the library records that the call failed, its failure line.
void RunSession(const std::vector<Command>& commands, const WrapperExports& wrapper,
                const TextForm& form, std::ostream& out);
