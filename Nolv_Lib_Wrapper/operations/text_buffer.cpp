#include "operations/text_buffer.h"

#include <windows.h>
#include <mbctype.h>

#include <climits>
#include <cstring>
#include <string>

#include "bridge/text_conversion.h"

namespace {

// Units of the character that starts at text: a lead byte with its trail
// byte in the runtime's multibyte code page, as CountCommas reads them.
std::size_t CharacterUnits(const char* text) {
    return _ismbblead(static_cast<unsigned char>(text[0])) && text[1] != '\0' ? 2 : 1;
}

std::size_t CharacterUnits(const wchar_t* text) {
    return IS_HIGH_SURROGATE(text[0]) && IS_LOW_SURROGATE(text[1]) ? 2 : 1;
}

template <class Char>
bool Deliver(const Char* text, Char* buffer, int size, int* needed) {
    const std::size_t length = std::char_traits<Char>::length(text);
    if (needed != nullptr) *needed = length < INT_MAX ? static_cast<int>(length + 1) : INT_MAX;
    if (buffer == nullptr || size <= 0) return false;

    const std::size_t room = static_cast<std::size_t>(size) - 1;  // one left for the NUL
    std::size_t fit = 0;
    while (fit < length) {
        const std::size_t units = CharacterUnits(text + fit);
        if (fit + units > room) break;
        fit += units;
    }
    std::memcpy(buffer, text, fit * sizeof(Char));
    buffer[fit] = Char();
    return fit == length;
}

}  // namespace

bool DeliverToBuffer(const char* text, char* buffer, int size, int* needed) noexcept {
    return Deliver(text, buffer, size, needed);
}

bool DeliverToBuffer(const wchar_t* text, wchar_t* buffer, int size, int* needed) noexcept {
    return Deliver(text, buffer, size, needed);
}

bool DeliverHostText(BSTR text, char* buffer, int size, int* needed) {
    const AnsiText ansi = ConvertBstrToAnsi(text);
    return DeliverToBuffer(ansi ? ansi.get() : "", buffer, size, needed);
}

bool DeliverHostText(BSTR text, wchar_t* buffer, int size, int* needed) {
    return DeliverToBuffer(text ? text : L"", buffer, size, needed);
}
