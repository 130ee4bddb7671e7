// Sivat_Lib_GetSivatMode, Sivat_Lib_GetSivatModeW: the Sivat component's
// mode value for a host's ANSI or UTF-16 text.
#include "Nolv_Lib_Wrapper.h"
#include "bridge/component_contract.h"
#include "bridge/component_slot.h"
#include "bridge/invoke_by_name.h"
#include "bridge/result_value.h"
#include "bridge/text_conversion.h"
#include "frame/call_guard.h"

namespace {
constexpr ExportCall kGetSivatMode = contract::SivatExport("Sivat_Lib_GetSivatMode", contract::kGetSivatMode);
constexpr ExportCall kGetSivatModeW = contract::SivatExport("Sivat_Lib_GetSivatModeW", contract::kGetSivatMode);
constexpr int kMethodNotFound = -3;
constexpr int kNoMode = -1;
// The method's first parameter: exactly fifteen spaces, in the width of
// the host's text, so that a UTF-16 call never goes through the code page.
constexpr char kFifteenSpaces[] = "               ";
constexpr wchar_t kFifteenSpacesW[] = L"               ";
static_assert(sizeof(kFifteenSpaces) == 16 && sizeof(kFifteenSpacesW) == 16 * sizeof(wchar_t));
const char* FifteenSpaces(const char*) { return kFifteenSpaces; }
const wchar_t* FifteenSpaces(const wchar_t*) { return kFifteenSpacesW; }

template <class Char>
int ModeOf(const ExportCall& call, const Char* text) {
    return GuardedExport(
        call,
        [&] {
            int mode = kMethodNotFound;
            // Looked up before the conversions, which happen either way.
            const CalledComponent sivat = CallReference(SivatSlot);
            const auto method = LookUpMethod(sivat, contract::kGetSivatMode);
            Bstr a = HostTextToBstr(text);
            Bstr s = HostTextToBstr(FifteenSpaces(text));

            if (method) {
                LONG unused = 0;  // the component may write here; nobody reads it
                ArgumentArray arguments(3);  // (s, unused, a) as declared
                arguments.Text(0, a.variable());
                arguments.Integer(1, &unused);
                arguments.Text(2, s.variable());
                ResultValue result;
                InvokeMethod(sivat, *method, arguments, result.get());
                mode = ResultAsInteger(result).value_or(kNoMode);
            }
            return mode;
        },
        [] { return kNoMode; });
}
}  // namespace

int __cdecl Sivat_Lib_GetSivatMode(const char* text) { return ModeOf(kGetSivatMode, text); }

int __stdcall Sivat_Lib_GetSivatModeW(const wchar_t* text) { return ModeOf(kGetSivatModeW, text); }
