#include "console_output.h"

#include <iostream>

#include "wide_text.h"

namespace {

// The length of the longest start of text that ends where a UTF-8
// character ends.
std::size_t WholeCharacters(const std::string& text) {
    for (std::size_t back = 1; back <= 4 && back <= text.size(); ++back) {
        const unsigned char byte = static_cast<unsigned char>(text[text.size() - back]);
        if ((byte & 0xC0) == 0x80) continue;  // a continuation byte
        const std::size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
        return length > back ? text.size() - back : text.size();
    }
    return text.size();
}

bool IsConsole(HANDLE handle) {
    DWORD mode;
    return GetConsoleMode(handle, &mode) != FALSE;
}

}  // namespace

ConsoleBuffer::int_type ConsoleBuffer::overflow(int_type c) {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    pending_ += traits_type::to_char_type(c);
    return c;
}

std::streamsize ConsoleBuffer::xsputn(const char* text, std::streamsize count) {
    pending_.append(text, static_cast<std::size_t>(count));
    return count;
}

int ConsoleBuffer::sync() {
    const std::size_t whole = WholeCharacters(pending_);
    const std::wstring text = WideFromBytes(pending_.substr(0, whole), CP_UTF8);
    pending_.erase(0, whole);
    DWORD written = 0;
    return text.empty() || WriteConsoleW(console_, text.data(), static_cast<DWORD>(text.size()),
                                         &written, nullptr)
               ? 0
               : -1;
}

ConsoleOutput::Redirection::Redirection(std::ostream& stream, HANDLE console)
    : stream(stream), buffer(console), own(stream.rdbuf(&buffer)) {}

ConsoleOutput::Redirection::~Redirection() {
    stream.flush();
    stream.rdbuf(own);
}

ConsoleOutput::ConsoleOutput() {
    if (const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE); IsConsole(out)) out_.emplace(std::cout, out);
    if (const HANDLE error = GetStdHandle(STD_ERROR_HANDLE); IsConsole(error))
        error_.emplace(std::cerr, error);
}
