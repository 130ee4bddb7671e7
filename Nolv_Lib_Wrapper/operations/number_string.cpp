// Nolv_Lib_getNumberStrRZ: the Nolv component's number string, delivered on
// the clipboard; the result is the sum of the host's two integers as the
// component left them.
#include "Nolv_Lib_Wrapper.h"
#include "bridge/component_contract.h"
#include "bridge/component_slot.h"
#include "bridge/invoke_by_name.h"
#include "bridge/result_value.h"
#include "bridge/text_conversion.h"
#include "clipboard/clipboard_text.h"
#include "frame/call_guard.h"
#include "operations/empty_text_result.h"

static_assert(sizeof(int) == sizeof(LONG), "the host's integers cross as VT_I4");

int __cdecl Nolv_Lib_getNumberStrRZ(const char* firstText, const char* secondText, int* first,
                                    int* second) {
    return GuardedExport(
        [&] {
            Bstr a = ConvertAnsiToBstr(firstText);
            Bstr b = ConvertAnsiToBstr(secondText);

            const auto method = LookUpMethod(NolvSlot.dispatch, contract::kGetNumberStr);
            if (!method) return DeliverEmptyText();

            AnsiText numberString;
            {
                ArgumentArray arguments(4);  // (a, b, first, second) as declared
                arguments.Integer(0, reinterpret_cast<LONG*>(second));
                arguments.Integer(1, reinterpret_cast<LONG*>(first));
                arguments.Text(2, b.variable());
                arguments.Text(3, a.variable());
                ResultValue result;
                InvokeMethod(NolvSlot.dispatch, *method, arguments, result.get());
                numberString = ResultAsAnsiText(result);
            }
            a = Bstr();
            b = Bstr();

            PutClipboardText(CopyToHeap(numberString ? numberString.get() : "").get());

            // Wraps on overflow, as the host's 32-bit arithmetic would.
            return static_cast<int>(static_cast<unsigned>(*first) + static_cast<unsigned>(*second));
        },
        DeliverEmptyText);
}
