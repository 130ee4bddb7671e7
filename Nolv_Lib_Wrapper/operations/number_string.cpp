// The Nolv component's number string, with the sum of the host's two
// integers as the component left them:
//   Nolv_Lib_getNumberStrRZ      delivers the string on the clipboard;
//   Nolv_Lib_getNumberStrBuf     into the host's buffer, ANSI;
//   Nolv_Lib_getNumberStrBufW    into the host's buffer, UTF-16.
// All three make the same one call of "getNumberStr".
#include "Nolv_Lib_Wrapper.h"
#include "bridge/component_contract.h"
#include "bridge/component_slot.h"
#include "bridge/invoke_by_name.h"
#include "bridge/result_value.h"
#include "bridge/text_conversion.h"
#include "clipboard/clipboard_text.h"
#include "frame/call_guard.h"
#include "frame/host_arguments.h"
#include "operations/empty_text_result.h"

#include <optional>

static_assert(sizeof(int) == sizeof(LONG), "the host's integers cross as VT_I4");

namespace {

constexpr ExportCall kNumberStrRZ = contract::NolvExport("Nolv_Lib_getNumberStrRZ", contract::kGetNumberStr);
constexpr ExportCall kNumberStrBuf = contract::NolvExport("Nolv_Lib_getNumberStrBuf", contract::kGetNumberStr);
constexpr ExportCall kNumberStrBufW = contract::NolvExport("Nolv_Lib_getNumberStrBufW", contract::kGetNumberStr);

// The component reads and writes the host's integers in place: without
// them there is no call.
void RequireIntegers(const int* first, const int* second) {
    RequireArgument(first, L"first");
    RequireArgument(second, L"second");
}

// Nothing when the component has no such method (it is then not called);
// otherwise the number string, null when the component gave none.
std::optional<Bstr> AskNumberString(Bstr& a, Bstr& b, int* first, int* second) {
    const CalledComponent nolv = CallReference(NolvSlot);
    const auto method = LookUpMethod(nolv, contract::kGetNumberStr);
    if (!method) return std::nullopt;
    ArgumentArray arguments(4);  // (a, b, first, second) as declared
    arguments.Integer(0, reinterpret_cast<LONG*>(second));
    arguments.Integer(1, reinterpret_cast<LONG*>(first));
    arguments.Text(2, b.variable());
    arguments.Text(3, a.variable());
    ResultValue result;
    InvokeMethod(nolv, *method, arguments, result.get());
    return ResultAsBstr(result);
}

// Wraps on overflow, as the host's 32-bit arithmetic would.
int SumOf(const int* first, const int* second) {
    return static_cast<int>(static_cast<unsigned>(*first) + static_cast<unsigned>(*second));
}

template <class Char>
int NumberStringIntoBuffer(const ExportCall& call, const Char* firstText, const Char* secondText,
                           int* first, int* second, Char* buffer, int size, int* needed) {
    return GuardedExport(
        call,
        [&] {
            RequireIntegers(first, second);
            Bstr a = HostTextToBstr(firstText);
            Bstr b = HostTextToBstr(secondText);
            const auto numberString = AskNumberString(a, b, first, second);
            if (!numberString) return DeliverEmptyTextInto(buffer, size, needed);
            DeliverHostText(numberString->get(), buffer, size, needed);
            return SumOf(first, second);
        },
        [&] { return DeliverEmptyTextInto(buffer, size, needed); });
}

}  // namespace

int __cdecl Nolv_Lib_getNumberStrRZ(const char* firstText, const char* secondText, int* first,
                                    int* second) {
    return GuardedExport(
        kNumberStrRZ,
        [&] {
            RequireIntegers(first, second);
            Bstr a = ConvertAnsiToBstr(firstText);
            Bstr b = ConvertAnsiToBstr(secondText);
            const auto numberString = AskNumberString(a, b, first, second);
            if (!numberString) return DeliverEmptyText();
            const AnsiText text = ConvertBstrToAnsi(numberString->get());
            PutClipboardText(CopyToHeap(text ? text.get() : "").get());
            return SumOf(first, second);
        },
        DeliverEmptyText);
}

int __stdcall Nolv_Lib_getNumberStrBuf(const char* firstText, const char* secondText, int* first,
                                       int* second, char* buffer, int size, int* needed) {
    return NumberStringIntoBuffer(kNumberStrBuf, firstText, secondText, first, second, buffer,
                                  size, needed);
}

int __stdcall Nolv_Lib_getNumberStrBufW(const wchar_t* firstText, const wchar_t* secondText,
                                        int* first, int* second, wchar_t* buffer, int size,
                                        int* needed) {
    return NumberStringIntoBuffer(kNumberStrBufW, firstText, secondText, first, second, buffer,
                                  size, needed);
}
