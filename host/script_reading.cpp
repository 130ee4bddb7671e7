#include "script_reading.h"

#include "exit_status.h"

namespace {

[[noreturn]] void WrongScript(const std::string& message) {
    throw SessionError(ExitStatus::WrongInvocation, message);
}

class LineSplitter {
public:
    LineSplitter(const std::string& line, LeadBytePredicate isLeadByte)
        : line_(line), isLeadByte_(isLeadByte) {}

    std::vector<std::string> words() {
        while (next_ < line_.size()) {
            const char c = line_[next_];
            if (c == ' ' || c == '\t') {
                ++next_;
                endWord();
            } else if (c == '#' && !inWord_) {
                break;
            } else if (c == '"') {
                ++next_;
                doubleQuoted();
            } else if (c == '\'') {
                ++next_;
                singleQuoted();
            } else if (c == '\\') {
                if (++next_ == line_.size()) WrongScript("the line ends with a backslash");
                takeCharacter();
            } else {
                takeCharacter();
            }
        }
        endWord();
        return words_;
    }

private:
    void takeCharacter() {
        inWord_ = true;
        const char first = line_[next_++];
        word_ += first;
        if (isLeadByte_(static_cast<unsigned char>(first)) && next_ < line_.size())
            word_ += line_[next_++];
    }

    void doubleQuoted() {
        inWord_ = true;
        for (;;) {
            if (next_ == line_.size()) WrongScript("a double quote is not closed");
            const char c = line_[next_];
            if (c == '"') {
                ++next_;
                return;
            }
            if (c == '\\' && next_ + 1 < line_.size() &&
                (line_[next_ + 1] == '"' || line_[next_ + 1] == '\\'))
                ++next_;
            takeCharacter();
        }
    }

    // No trail byte of a double-byte code page is a single quote, so the
    // closing one can be searched for byte by byte.
    void singleQuoted() {
        inWord_ = true;
        const std::size_t close = line_.find('\'', next_);
        if (close == std::string::npos) WrongScript("a single quote is not closed");
        word_.append(line_, next_, close - next_);
        next_ = close + 1;
    }

    void endWord() {
        if (inWord_) words_.push_back(word_);
        word_.clear();
        inWord_ = false;
    }

    const std::string& line_;
    LeadBytePredicate isLeadByte_;
    std::size_t next_ = 0;
    std::string word_;
    bool inWord_ = false;
    std::vector<std::string> words_;
};

}  // namespace

std::vector<std::string> SplitScriptLine(const std::string& line, LeadBytePredicate isLeadByte) {
    return LineSplitter(line, isLeadByte).words();
}

std::vector<Command> ParseScript(const std::string& script, LeadBytePredicate isLeadByte) {
    std::vector<Command> commands;
    std::size_t lineNumber = 0;
    for (std::size_t start = 0; start < script.size();) {
        std::size_t end = script.find('\n', start);
        if (end == std::string::npos) end = script.size();
        std::string line = script.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        start = end + 1;
        ++lineNumber;
        try {
            const std::vector<std::string> words = SplitScriptLine(line, isLeadByte);
            for (Command& command : ParseCommands({words.begin(), words.end()}, nullptr))
                commands.push_back(std::move(command));
        } catch (const SessionError& error) {
            throw SessionError(error.status(),
                               "line " + std::to_string(lineNumber) + ": " + error.what());
        }
    }
    return commands;
}
