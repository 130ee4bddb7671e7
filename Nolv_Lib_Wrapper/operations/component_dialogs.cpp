// Nolv_Lib_AboutBox, Nolv_Lib_SivatAboutBox, Nolv_Lib_editSettingData,
// Nolv_Lib_setSettingDataFileName(W): requests passed straight through to a
// component method, with no result asked for. The invocation status is not
// examined; a component that refuses goes unnoticed.
#include "Nolv_Lib_Wrapper.h"
#include "bridge/component_contract.h"
#include "bridge/component_slot.h"
#include "bridge/invoke_by_name.h"
#include "bridge/text_conversion.h"
#include "frame/call_guard.h"

namespace {
void CallGuarded(const ComponentSlot& slot, const wchar_t* method) {
    GuardedExport([&] { CallMethod(slot.dispatch, method); }, [] {});
}

// The name means something to the component only: the library neither
// keeps it nor looks at the file.
template <class Char>
void SetSettingDataFileName(const Char* fileName) {
    GuardedExport(
        [&] {
            Bstr name = HostTextToBstr(fileName);  // converted even if the method is missing
            const auto method = LookUpMethod(NolvSlot.dispatch, contract::kSetSettingDataFileName);
            if (!method) return;
            ArgumentArray arguments(1);
            arguments.Text(0, name.variable());
            InvokeMethod(NolvSlot.dispatch, *method, arguments, nullptr);
        },
        [] {});
}
}  // namespace

void __cdecl Nolv_Lib_AboutBox(void) { CallGuarded(NolvSlot, contract::kNolvAboutBox); }

// Carries the Nolv_Lib_ prefix, but it is the Sivat component's box.
void __cdecl Nolv_Lib_SivatAboutBox(void) { CallGuarded(SivatSlot, contract::kSivatAbout); }

void __cdecl Nolv_Lib_editSettingData(void) { CallGuarded(NolvSlot, contract::kEditSettingData); }

void __cdecl Nolv_Lib_setSettingDataFileName(const char* fileName) {
    SetSettingDataFileName(fileName);
}

void __stdcall Nolv_Lib_setSettingDataFileNameW(const wchar_t* fileName) {
    SetSettingDataFileName(fileName);
}
