#include "doctor/system_message.h"
#include "wide_text.h"


std::string SystemMessage(DWORD code) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    if (length == 0) return {};
    std::wstring message(text, length);
    LocalFree(text);
    message.erase(message.find_last_not_of(L" \r\n") + 1);
    return Utf8(message);
}
