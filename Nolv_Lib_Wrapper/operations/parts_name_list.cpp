// Nolv_Lib_getPartsNameListRZClip: the clipboard's text goes to the Nolv
// component's "getNameListCSV", the comma-separated list it returns
// replaces the clipboard's content, and the result is its number of fields.
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

int __cdecl Nolv_Lib_getPartsNameListRZClip(const char* text, int limit) {
    return GuardedExport(
        [&] {
            Bstr a;
            Bstr c;
            {
                const HeapText input = GetClipboardText();  // null when there is no text
                a = ConvertAnsiToBstr(text);
                c = ConvertAnsiToBstr(input.get());
            }

            const auto method = LookUpMethod(NolvSlot.dispatch, contract::kGetNameListCSV);
            if (!method) return DeliverEmptyText();

            LONG ownLimit = limit;  // what the component writes here stays with us
            AnsiText list;
            {
                ArgumentArray arguments(3);  // (a, c, limit) as declared
                arguments.Integer(0, &ownLimit);
                arguments.Text(1, c.variable());
                arguments.Text(2, a.variable());
                ResultValue result;
                InvokeMethod(NolvSlot.dispatch, *method, arguments, result.get());
                list = ResultAsAnsiText(result);
            }
            const char* listText = list ? list.get() : "";
            const bool delivered = PutClipboardText(CopyToHeap(listText).get());
            a = Bstr();
            c = Bstr();

            // A list that did not reach the clipboard is not reported as
            // delivered by counting whatever the clipboard still holds.
            if (*listText == '\0' || !delivered) return 0;

            // Counted as the host will read it: from the clipboard, unless
            // it cannot be read back.
            const HeapText readBack = GetClipboardText();
            return CountCommas(readBack ? readBack.get() : listText) + 1;
        },
        DeliverEmptyText);
}
