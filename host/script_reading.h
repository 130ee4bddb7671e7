// Commands read from standard input (nolvhost -): each line holds one or
// more commands, its words split as a POSIX shell splits simple words.
#pragma once

#include <string>
#include <vector>

#include "command_line.h"

// Whether a byte starts a double-byte character in the ANSI code page.
using LeadBytePredicate = bool (*)(unsigned char);

// Blanks separate words; "..." and '...' quote (an empty pair makes an
// empty word); inside "...", \" and \\ stand for " and \; outside quotes,
// \ takes the next character as it is; # at the start of a word comments
// out the rest of the line. A double-byte character is one character, so a
// trail byte of 0x5C escapes nothing.
std::vector<std::string> SplitScriptLine(const std::string& line, LeadBytePredicate isLeadByte);

// The commands of every line; a trailing \r is dropped from each line.
// Errors name the line.
std::vector<Command> ParseScript(const std::string& script, LeadBytePredicate isLeadByte);
