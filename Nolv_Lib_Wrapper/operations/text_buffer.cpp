#include "operations/text_buffer.h"

#include <windows.h>

#include <climits>
#include <cstring>
#include <string>

#include "bridge/ansi_code_page.h"
#include "bridge/text_conversion.h"
#include "frame/failure_record.h"
#include "frame/fixed_text.h"

namespace {

// Units of the character that starts at text: ANSI text is cut by the code
// page it was converted with.
std::size_t CharacterUnits(const char* text) { return AnsiCharacterUnits(text); }

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

namespace {
// A buffer the host gave that the text does not fit is recorded as the
// call's failure; asking for the size only is not one.
template <class Char>
bool DeliverRecordingCut(const Char* text, Char* buffer, int size, int* needed) {
    int whole = 0;
    const bool fits = DeliverToBuffer(text, buffer, size, &whole);
    if (needed != nullptr) *needed = whole;
    if (!fits && buffer != nullptr && size > 0 &&
        RecordFailure(FailureStep::BufferTooSmall, HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER))) {
        wchar_t words[96];
        FixedText detail(words, ARRAYSIZE(words));
        detail.Append(L"the buffer holds ").AppendDecimal(static_cast<unsigned long>(size))
            .Append(L", the text needs ").AppendDecimal(static_cast<unsigned long>(whole));
        AddFailureDetail(detail.text());
    }
    return fits;
}
}  // namespace

bool DeliverHostText(BSTR text, char* buffer, int size, int* needed) {
    const AnsiText ansi = ConvertBstrToAnsi(text);
    return DeliverRecordingCut(ansi ? ansi.get() : "", buffer, size, needed);
}

bool DeliverHostText(BSTR text, wchar_t* buffer, int size, int* needed) {
    return DeliverRecordingCut(text ? static_cast<const wchar_t*>(text) : L"", buffer, size, needed);
}
