// The usage text: printed for --help, and after the message of a wrong
// invocation.
#pragma once

#include <string>

std::string UsageText();
