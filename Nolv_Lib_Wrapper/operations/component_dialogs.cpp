// Nolv_Lib_AboutBox, Nolv_Lib_SivatAboutBox, Nolv_Lib_editSettingData,
// Nolv_Lib_setSettingDataFileName(W): requests passed straight through to a
// component method, with no result asked for. A component that refuses
// changes nothing the host gets back; the failure record tells why.
#include "Nolv_Lib_Wrapper.h"
#include "bridge/component_contract.h"
#include "bridge/component_slot.h"
#include "bridge/invoke_by_name.h"
#include "bridge/text_conversion.h"
#include "frame/call_guard.h"

namespace {
constexpr ExportCall kAboutBox = contract::NolvExport("Nolv_Lib_AboutBox", contract::kNolvAboutBox);
constexpr ExportCall kSivatAboutBox = contract::SivatExport("Nolv_Lib_SivatAboutBox", contract::kSivatAbout);
constexpr ExportCall kEditSettingData = contract::NolvExport("Nolv_Lib_editSettingData", contract::kEditSettingData);
constexpr ExportCall kSetSettingDataFileName = contract::NolvExport("Nolv_Lib_setSettingDataFileName", contract::kSetSettingDataFileName);
constexpr ExportCall kSetSettingDataFileNameW = contract::NolvExport("Nolv_Lib_setSettingDataFileNameW", contract::kSetSettingDataFileName);

void CallGuarded(const ExportCall& call, ComponentSlot& slot) {
    GuardedExport(call, [&] { CallMethod(slot, call.method); }, [] {});
}

// The name means something to the component only: the library neither
// keeps it nor looks at the file.
template <class Char>
void SetSettingDataFileName(const ExportCall& call, const Char* fileName) {
    GuardedExport(
        call,
        [&] {
            Bstr name = HostTextToBstr(fileName);  // converted even if the method is missing
            const CalledComponent nolv = CallReference(NolvSlot);
            const auto method = LookUpMethod(nolv, contract::kSetSettingDataFileName);
            if (!method) return;
            ArgumentArray arguments(1);
            arguments.Text(0, name.variable());
            InvokeMethod(nolv, *method, arguments, nullptr);
        },
        [] {});
}
}  // namespace

void __cdecl Nolv_Lib_AboutBox(void) { CallGuarded(kAboutBox, NolvSlot); }

// Carries the Nolv_Lib_ prefix, but it is the Sivat component's box.
void __cdecl Nolv_Lib_SivatAboutBox(void) { CallGuarded(kSivatAboutBox, SivatSlot); }

void __cdecl Nolv_Lib_editSettingData(void) { CallGuarded(kEditSettingData, NolvSlot); }

void __cdecl Nolv_Lib_setSettingDataFileName(const char* fileName) {
    SetSettingDataFileName(kSetSettingDataFileName, fileName);
}

void __stdcall Nolv_Lib_setSettingDataFileNameW(const wchar_t* fileName) {
    SetSettingDataFileName(kSetSettingDataFileNameW, fileName);
}
