// Standard input, for a script (nolvhost -) or for --clipboard-stdin.
#pragma once

#include <string>

// All of it, byte for byte: read in binary mode, so that the C runtime
// neither turns \r\n into \n nor stops at a Ctrl-Z byte.
std::string ReadStandardInput();
