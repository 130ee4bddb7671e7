// The class library's ANSI string, reduced to what this library uses:
// construction from text, appending, its length and its text.
#pragma once

#include <string>

class CString {
public:
    CString() = default;
    CString(const char* text);  // null gives the empty string

    int GetLength() const { return static_cast<int>(text_.size()); }
    operator const char*() const { return text_.c_str(); }

    friend CString operator+(const CString& left, const char* right);

private:
    std::string text_;
};
