// Wide text written into a buffer of a fixed size: what the failure record
// is made with, since the record of an out-of-memory failure must not need
// memory. Text that does not fit is cut where a character ends (never
// between the two halves of a surrogate pair), and the buffer always holds
// a NUL-terminated line.
#pragma once

#include <windows.h>

#include <cstddef>

class FixedText {
public:
    // capacity counts the NUL; it must be at least 1.
    FixedText(wchar_t* buffer, std::size_t capacity) : buffer_(buffer), capacity_(capacity) {
        buffer_[0] = L'\0';
    }

    // At most length units of text (up to a NUL); line ends and tabs become
    // spaces, so that the text stays one line.
    FixedText& Append(const wchar_t* text, std::size_t length);
    FixedText& Append(const wchar_t* text);
    // ASCII text, such as the library's own names.
    FixedText& Append(const char* text);
    FixedText& AppendDecimal(unsigned long value);
    // "0x" and eight upper-case hexadecimal digits.
    FixedText& AppendHex(DWORD value);

    const wchar_t* text() const { return buffer_; }
    std::size_t length() const { return length_; }

private:
    void Put(wchar_t unit) { buffer_[length_++] = unit; }
    std::size_t Room() const { return capacity_ - 1 - length_; }
    void Terminate() { buffer_[length_] = L'\0'; }

    wchar_t* buffer_;
    std::size_t capacity_;
    std::size_t length_ = 0;
};
