// Reading a session's commands from words, as the command line gives them
// or as a script line splits into them.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "command_table.h"

// A text argument's bytes, or none for a null pointer (the word --null).
using Text = std::optional<std::string>;
using Argument = std::variant<Text, int>;

// What parts-list puts on the clipboard before its call; no text empties it.
struct ClipboardInput {
    Text text;
};

struct Command {
    const CommandForm* form;
    std::vector<Argument> arguments;  // in the order of form->arguments
    std::optional<ClipboardInput> clipboardInput;

    const Text& text(std::size_t index) const { return std::get<Text>(arguments[index]); }
    int integer(std::size_t index) const { return std::get<int>(arguments[index]); }
};

// Hands over the whole of standard input, for --clipboard-stdin.
using StandardInputReader = std::function<std::string()>;

// The commands the words name, in order. readStandardInput is empty where
// standard input holds the script itself. Throws SessionError
// (WrongInvocation) naming the first word that does not fit.
std::vector<Command> ParseCommands(const std::vector<std::string>& words,
                                   const StandardInputReader& readStandardInput);
