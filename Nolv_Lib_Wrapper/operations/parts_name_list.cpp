// The Nolv component's comma-separated parts-name list for an input text,
// and the list's number of fields:
//   Nolv_Lib_getPartsNameListRZClip  input from the clipboard, the list
//                                    back onto the clipboard;
//   Nolv_Lib_getPartsNameListBuf     input as an argument, the list into
//                                    the host's buffer, ANSI;
//   Nolv_Lib_getPartsNameListBufW    the same in UTF-16.
// All three make the same one call of "getNameListCSV".
#include "Nolv_Lib_Wrapper.h"
#include "bridge/component_contract.h"
#include "bridge/component_slot.h"
#include "bridge/invoke_by_name.h"
#include "bridge/result_value.h"
#include "bridge/text_conversion.h"
#include "clipboard/clipboard_text.h"
#include "frame/call_guard.h"
#include "operations/empty_text_result.h"
#include "operations/count_commas.h"

#include <optional>

namespace {

constexpr ExportCall kPartsNameListRZClip = contract::NolvExport("Nolv_Lib_getPartsNameListRZClip", contract::kGetNameListCSV);
constexpr ExportCall kPartsNameListBuf = contract::NolvExport("Nolv_Lib_getPartsNameListBuf", contract::kGetNameListCSV);
constexpr ExportCall kPartsNameListBufW = contract::NolvExport("Nolv_Lib_getPartsNameListBufW", contract::kGetNameListCSV);

// The separating commas of the list in the host's buffer, by the code page
// it was converted with.
int SeparatorsInBuffer(const char* list) { return CountAnsiCommas(list); }
int SeparatorsInBuffer(const wchar_t* list) { return CountCommas(list); }

// Nothing when the component has no such method (it is then not called);
// otherwise the list, null when the component gave none. What the
// component writes into the limit stays here.
std::optional<Bstr> AskNameList(Bstr& a, Bstr& input, int limit) {
    const CalledComponent nolv = CallReference(NolvSlot);
    const auto method = LookUpMethod(nolv, contract::kGetNameListCSV);
    if (!method) return std::nullopt;
    LONG ownLimit = limit;
    ArgumentArray arguments(3);  // (a, input, limit) as declared
    arguments.Integer(0, &ownLimit);
    arguments.Text(1, input.variable());
    arguments.Text(2, a.variable());
    ResultValue result;
    InvokeMethod(nolv, *method, arguments, result.get());
    return ResultAsBstr(result);
}

template <class Char>
int PartsNameListIntoBuffer(const ExportCall& call, const Char* text, const Char* input, int limit,
                            Char* buffer, int size, int* needed) {
    return GuardedExport(
        call,
        [&] {
            Bstr a = HostTextToBstr(text);
            Bstr c = HostTextToBstr(input);
            const auto list = AskNameList(a, c, limit);
            if (!list) return DeliverEmptyTextInto(buffer, size, needed);
            // Counted as the host will read it, from its buffer; a list that
            // did not fit is not counted as if it were all there.
            if (!DeliverHostText(list->get(), buffer, size, needed) || buffer[0] == Char())
                return 0;
            return SeparatorsInBuffer(buffer) + 1;
        },
        [&] { return DeliverEmptyTextInto(buffer, size, needed); });
}

}  // namespace

int __cdecl Nolv_Lib_getPartsNameListRZClip(const char* text, int limit) {
    return GuardedExport(
        kPartsNameListRZClip,
        [&] {
            Bstr a;
            Bstr c;
            {
                const HeapText input = GetClipboardText();  // null when there is no text
                a = ConvertAnsiToBstr(text);
                c = ConvertAnsiToBstr(input.get());
            }
            const auto list = AskNameList(a, c, limit);
            if (!list) return DeliverEmptyText();

            const AnsiText listText = ConvertBstrToAnsi(list->get());
            const char* delivered = listText ? listText.get() : "";
            // A list that did not reach the clipboard is not reported as
            // delivered by counting whatever the clipboard still holds.
            if (!PutClipboardText(CopyToHeap(delivered).get()) || *delivered == '\0') return 0;

            // Counted as the host will read it: from the clipboard, unless
            // it cannot be read back.
            const HeapText readBack = GetClipboardText();
            return CountCommas(readBack ? readBack.get() : delivered) + 1;
        },
        DeliverEmptyText);
}

int __stdcall Nolv_Lib_getPartsNameListBuf(const char* text, const char* input, int limit,
                                           char* buffer, int size, int* needed) {
    return PartsNameListIntoBuffer(kPartsNameListBuf, text, input, limit, buffer, size, needed);
}

int __stdcall Nolv_Lib_getPartsNameListBufW(const wchar_t* text, const wchar_t* input, int limit,
                                            wchar_t* buffer, int size, int* needed) {
    return PartsNameListIntoBuffer(kPartsNameListBufW, text, input, limit, buffer, size, needed);
}
