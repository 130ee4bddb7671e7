// The session's report on stdout: a line for each call as it is made and a
// line of key=value pairs for what it gave back, in a form a script can
// split on blanks and a person can read.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "command_line.h"

// How the report writes texts. Readable: as UTF-8, an ANSI text read in
// the ANSI code page, a W text from its UTF-16; what would not show as a
// character stays visible as an escape. Bytes (--bytes): every byte
// outside printable ASCII as \xHH, a W text's as its UTF-8 bytes, for
// scripts that compare what a function took or gave byte for byte.
struct TextForm {
    bool bytes;
    UINT ansiCodePage;
};

// Bytes in double quotes, with \" and \\ escaped and every byte outside
// printable ASCII written \xHH, so that code-page bytes show one by one.
std::string QuoteBytes(const std::string& bytes);
// ANSI text in double quotes, as UTF-8, with \" and \\ escaped; a byte
// that starts no character of the code page, and a control character,
// written as its bytes, \xHH.
std::string QuoteAnsi(const std::string& bytes, UINT codePage);
// UTF-16 text in double quotes, as UTF-8, with \" and \\ escaped; a
// control character or a lone surrogate written \uHHHH.
std::string QuoteWide(const std::wstring& text);

// A text argument: quoted in the form, or null.
std::string FormatText(const Text& text, const TextForm& form);
std::string FormatWideText(const WideText& text, const TextForm& form);
// The clipboard's CF_TEXT: quoted in the form, or none when it holds none.
std::string FormatClipboard(const std::optional<std::string>& text, const TextForm& form);

// "> NAME ARGUMENTS": the call about to be made, its clipboard input last.
std::string EchoLine(const Command& command, const TextForm& form);

struct ResultField {
    const char* key;
    std::string value;
};
// "  KEY=VALUE ...": what the call gave back.
std::string ResultLine(const std::vector<ResultField>& fields);

// "  failure=0xHHHHHHHH LINE": the library's reason for the call's failure,
// its HRESULT and its line. Readable, the line as it is (a control
// character written \uHHHH); --bytes, quoted as the other texts.
std::string FailureLine(HRESULT status, const std::wstring& line, const TextForm& form);
