#include "command_line.h"

#include <charconv>
#include <system_error>

#include "exit_status.h"
#include "output_format.h"

namespace {

[[noreturn]] void WrongInvocation(const std::string& message) {
    throw SessionError(ExitStatus::WrongInvocation, message);
}

bool IsNull(const Word& word) { return Spelling(word) == "--null"; }

std::optional<int> DecimalInteger(const Word& word) {
    const std::string spelling = Spelling(word);
    int value = 0;
    const char* end = spelling.data() + spelling.size();
    const auto [stop, error] = std::from_chars(spelling.data(), end, value);
    if (error != std::errc() || stop != end) return std::nullopt;
    return value;
}

Text TextArgument(const Word& word) {
    if (IsNull(word)) return std::nullopt;
    return AnsiTextOf(word);
}

WideText WideTextArgument(const Word& word) {
    if (IsNull(word)) return std::nullopt;
    return WideTextOf(word);
}

class CommandParser {
public:
    CommandParser(const std::vector<Word>& words, const StandardInputReader& readStandardInput)
        : words_(words), readStandardInput_(readStandardInput) {}

    std::vector<Command> commands() {
        std::vector<Command> commands;
        while (next_ < words_.size()) commands.push_back(command());
        return commands;
    }

private:
    Command command() {
        const Word& name = words_[next_++];
        const CommandForm* form = FindCommand(Spelling(name));
        if (form == nullptr) WrongInvocation(UnknownCommand(name));
        Command command{form, {}, std::nullopt};
        for (const ArgumentForm& argument : form->arguments)
            command.arguments.push_back(this->argument(*form, argument));
        if (form->takesClipboardInput) command.clipboardInput = clipboardInput(*form);
        return command;
    }

    Argument argument(const CommandForm& form, const ArgumentForm& argument) {
        if (next_ == words_.size())
            WrongInvocation(std::string(form.name) + ": " + argument.name + " missing");
        const Word& word = words_[next_++];
        switch (argument.kind) {
        case ArgumentKind::Text:
            return TextArgument(word);
        case ArgumentKind::WideText:
            return WideTextArgument(word);
        case ArgumentKind::Integer:
            break;
        }
        const std::optional<int> value = DecimalInteger(word);
        if (!value)
            WrongInvocation(std::string(form.name) + ": " + argument.name +
                            " must be a decimal integer from -2147483648 to 2147483647, not " +
                            QuotedWord(word));
        return *value;
    }

    std::optional<ClipboardInput> clipboardInput(const CommandForm& form) {
        if (next_ == words_.size()) return std::nullopt;
        const std::string option = Spelling(words_[next_]);
        if (option == "--clipboard") {
            if (++next_ == words_.size())
                WrongInvocation(std::string(form.name) + ": --clipboard needs a TEXT");
            return ClipboardInput{TextArgument(words_[next_++])};
        }
        if (option == "--clipboard-stdin") {
            ++next_;
            if (!readStandardInput_)
                WrongInvocation("--clipboard-stdin: standard input holds the script");
            if (standardInputTaken_)
                WrongInvocation("--clipboard-stdin given twice: standard input is read once");
            standardInputTaken_ = true;
            return ClipboardInput{readStandardInput_()};
        }
        return std::nullopt;
    }

    static std::string UnknownCommand(const Word& name) {
        const std::string spelling = Spelling(name);
        if (spelling == "--bytes") return "--bytes goes before the first command";
        if (spelling.rfind("--", 0) == 0)
            return "option " + QuotedWord(name) +
                   " out of place: only parts-list takes one, after its TEXT and LIMIT";
        if (spelling == "doctor") return "doctor runs on its own: nolvhost doctor [--library PATH]";
        return "unknown command " + QuotedWord(name);
    }

    const std::vector<Word>& words_;
    const StandardInputReader& readStandardInput_;
    std::size_t next_ = 0;
    bool standardInputTaken_ = false;
};

}  // namespace

std::vector<Command> ParseCommands(const std::vector<Word>& words,
                                   const StandardInputReader& readStandardInput) {
    return CommandParser(words, readStandardInput).commands();
}
