// nolvhost writes UTF-8. Redirected, its output is those bytes; a console
// is given the text as UTF-16 instead, so that it shows every character
// whatever its code page, and the code page, which belongs to whoever
// opened the console, stays as it was.
#pragma once

#include <windows.h>

#include <optional>
#include <ostream>
#include <streambuf>
#include <string>

// A stream's UTF-8 text written to a console with WriteConsoleW, whole
// characters at a time.
class ConsoleBuffer : public std::streambuf {
public:
    explicit ConsoleBuffer(HANDLE console) : console_(console) {}

protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* text, std::streamsize count) override;
    int sync() override;

private:
    HANDLE console_;
    std::string pending_;  // a character's first bytes, its last not yet written
};

// While it lives, std::cout and std::cerr write to the console they are
// attached to, if any, through a ConsoleBuffer; at its end they are flushed
// and given back their own buffers.
class ConsoleOutput {
public:
    ConsoleOutput();
    ConsoleOutput(const ConsoleOutput&) = delete;
    ConsoleOutput& operator=(const ConsoleOutput&) = delete;

private:
    struct Redirection {
        Redirection(std::ostream& stream, HANDLE console);
        ~Redirection();
        std::ostream& stream;
        ConsoleBuffer buffer;
        std::streambuf* own;
    };
    std::optional<Redirection> out_, error_;
};
