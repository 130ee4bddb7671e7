// The session's report on stdout: a line for each call as it is made and a
// line of key=value pairs for what it gave back, in a form a script can
// split on blanks and a person can read.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "command_line.h"

// Bytes in double quotes, with \" and \\ escaped and every byte outside
// printable ASCII written \xHH, so that code-page bytes show one by one.
std::string QuoteBytes(const std::string& bytes);
// A text argument: quoted bytes, or null.
std::string FormatText(const Text& text);
// The clipboard's CF_TEXT: quoted bytes, or none when it holds none.
std::string FormatClipboard(const std::optional<std::string>& text);

// "> NAME ARGUMENTS": the call about to be made, its clipboard input last.
std::string EchoLine(const Command& command);

struct ResultField {
    const char* key;
    std::string value;
};
// "  KEY=VALUE ...": what the call gave back.
std::string ResultLine(const std::vector<ResultField>& fields);
