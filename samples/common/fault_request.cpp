#include "common/fault_request.h"

#include "common/com_headers.h"

namespace {

constexpr std::wstring_view kCrash = L"crash:";
constexpr std::wstring_view kHang = L"hang:";

// A real store to address 0: a null pointer the compiler cannot see
// through, or it would emit a trap instruction instead of the fault.
[[noreturn]] void WriteThroughNullPointer() {
    volatile int* volatile target = nullptr;
    for (;;) *target = 0;
}

}  // namespace

bool ActOnFaultRequest(std::wstring_view text) {
    if (text == kCrash) WriteThroughNullPointer();
    if (text.substr(0, kHang.size()) != kHang) return false;
    // Digits only, at most what a DWORD holds; anything else is a plain text.
    const std::wstring_view digits = text.substr(kHang.size());
    if (digits.empty() || digits.size() > 9 ||
        digits.find_first_not_of(L"0123456789") != std::wstring_view::npos)
        return false;
    DWORD milliseconds = 0;
    for (wchar_t digit : digits) milliseconds = milliseconds * 10 + (digit - L'0');
    Sleep(milliseconds);
    return true;
}
