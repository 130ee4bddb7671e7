// A word of a session as its source gives it: a command-line argument in
// UTF-16, or the bytes of a script line. Names, integers and options are
// ASCII either way; a text becomes what the function it is passed to
// takes.
#pragma once

#include <string>
#include <variant>

using Word = std::variant<std::string, std::wstring>;

// A script's bytes as they are; a command-line argument as UTF-8. An ASCII
// name or number is spelt so by nothing else.
std::string Spelling(const Word& word);

// As an ANSI function's text: a script's bytes as they are (the script is
// in the ANSI code page); a command-line argument converted to the ANSI
// code page, as a host converts its UTF-16 text.
std::string AnsiTextOf(const Word& word);

// As a W function's text: a command-line argument as it is; a script's
// bytes read as UTF-8, so that a script can give any character.
std::wstring WideTextOf(const Word& word);

// For a message about the word: quoted, readable (a script's bytes read
// in the ANSI code page).
std::string QuotedWord(const Word& word);
