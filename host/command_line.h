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
#include "word.h"

// A text argument as the function takes it, or none for a null pointer
// (the word --null): bytes in the ANSI code page, or UTF-16.
using Text = std::optional<std::string>;
using WideText = std::optional<std::wstring>;
using Argument = std::variant<Text, WideText, int>;

// What parts-list puts on the clipboard before its call; no text empties it.
struct ClipboardInput {
    Text text;
};

struct Command {
    const CommandForm* form;
    std::vector<Argument> arguments;  // in the order of form->arguments
    std::optional<ClipboardInput> clipboardInput;

    const Text& text(std::size_t index) const { return std::get<Text>(arguments[index]); }
    const WideText& wideText(std::size_t index) const {
        return std::get<WideText>(arguments[index]);
    }
    int integer(std::size_t index) const { return std::get<int>(arguments[index]); }
};

// Hands over the whole of standard input, for --clipboard-stdin.
using StandardInputReader = std::function<std::string()>;

// The commands the words name, in order. readStandardInput is empty where
// standard input holds the script itself. Throws SessionError
// (WrongInvocation) naming the first word that does not fit.
std::vector<Command> ParseCommands(const std::vector<Word>& words,
                                   const StandardInputReader& readStandardInput);
