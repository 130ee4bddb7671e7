#include "bridge/text_conversion.h"

#include <comdef.h>

#include "frame/failure_record.h"

#include <cstdlib>
#include <memory>
#include <new>

namespace {

// Texts below this many wide characters convert without a heap buffer (the
// buffer holds their terminating NUL as well).
constexpr int kStackBufferLength = 4096;

struct FreeWithRuntime {
    void operator()(wchar_t* buffer) const { std::free(buffer); }
};

[[noreturn]] void RaiseOutOfMemory() {
    RecordFailure(FailureStep::Memory, E_OUTOFMEMORY);
    throw _com_error(E_OUTOFMEMORY);
}

// A failed code-page conversion raises the thread's last error, as an
// HRESULT in the Win32 facility when it is a positive error code.
[[noreturn]] void RaiseConversionFailure(FailureStep direction) {
    const LONG error = static_cast<LONG>(GetLastError());
    const HRESULT status = error > 0 ? static_cast<HRESULT>(0x80070000UL | (error & 0xFFFF))
                                     : static_cast<HRESULT>(error);
    RecordFailure(direction, status);
    throw _com_error(status);
}

}  // namespace

Bstr ConvertAnsiToBstr(const char* text) {
    if (text == nullptr) return Bstr();

    const int length = lstrlenA(text) + 1;  // the terminating NUL converts too
    const int wideLength = MultiByteToWideChar(CP_ACP, 0, text, length, nullptr, 0);
    if (wideLength == 0) RaiseConversionFailure(FailureStep::ConversionIn);

    wchar_t stackBuffer[kStackBufferLength];
    std::unique_ptr<wchar_t, FreeWithRuntime> heapBuffer;
    wchar_t* wide = stackBuffer;
    if (wideLength > kStackBufferLength) {
        heapBuffer.reset(static_cast<wchar_t*>(std::malloc(sizeof(wchar_t) * wideLength)));
        if (!heapBuffer) RaiseOutOfMemory();
        wide = heapBuffer.get();
    }
    if (MultiByteToWideChar(CP_ACP, 0, text, length, wide, wideLength) == 0)
        RaiseConversionFailure(FailureStep::ConversionIn);

    BSTR converted = SysAllocString(wide);
    if (converted == nullptr) RaiseOutOfMemory();
    return Bstr(converted);
}

Bstr ConvertWideToBstr(const wchar_t* text) {
    if (text == nullptr) return Bstr();
    BSTR copy = SysAllocString(text);
    if (copy == nullptr) RaiseOutOfMemory();
    return Bstr(copy);
}

AnsiText ConvertBstrToAnsi(BSTR text) {
    if (text == nullptr) return nullptr;

    const int length = lstrlenW(text) + 1;
    const int size = WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
    if (size == 0) RaiseConversionFailure(FailureStep::ConversionOut);

    AnsiText converted(new (std::nothrow) char[size]);
    if (!converted) RaiseOutOfMemory();
    if (WideCharToMultiByte(CP_ACP, 0, text, length, converted.get(), size, nullptr, nullptr) == 0)
        RaiseConversionFailure(FailureStep::ConversionOut);
    return converted;
}
