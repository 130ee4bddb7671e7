// LoadNolvSys, LoadSivatSys, FreeNolvSys: the host decides when the two
// components exist; Nolv_Lib_SetIsolation, how they run from their next
// load: in the host's process (the default) or each in a process of its
// own.
#include "Nolv_Lib_Wrapper.h"
#include "bridge/component_contract.h"
#include "bridge/component_slot.h"
#include "frame/call_guard.h"

namespace {
constexpr ExportCall kLoadNolvSys = contract::NolvExport("LoadNolvSys");
constexpr ExportCall kLoadSivatSys = contract::SivatExport("LoadSivatSys");
constexpr ExportCall kFreeNolvSys = {"FreeNolvSys", nullptr, nullptr, nullptr};
constexpr ExportCall kSetIsolation = {"Nolv_Lib_SetIsolation", nullptr, nullptr, nullptr};

// Chosen for the process, like the slots; read by each load.
IsolationChoice nolvIsolation;
IsolationChoice sivatIsolation;

int LoadComponent(const ExportCall& call, ComponentSlot& slot, const IsolationChoice& choice) {
    return GuardedExport(call, [&] { return CreateComponent(slot, call.progId, choice) ? 1 : 0; },
                         [] { return -1; });
}

// Components, as the host names them: bit 0 Nolv, bit 1 Sivat.
constexpr int kNolvBit = 1;
constexpr int kSivatBit = 2;
}  // namespace

int __cdecl LoadNolvSys(void) { return LoadComponent(kLoadNolvSys, NolvSlot, nolvIsolation); }

int __cdecl LoadSivatSys(void) { return LoadComponent(kLoadSivatSys, SivatSlot, sivatIsolation); }

// Releases both slots, not only the Nolv one. Nothing here raises, so it
// switches the module state but needs no catch-all.
void __cdecl FreeNolvSys(void) {
    const ExportScope scope(kFreeNolvSys);
    const ModuleStateScope moduleState(scope.thread(), LibraryModuleState());
    ReleaseComponents();
}

int __stdcall Nolv_Lib_SetIsolation(int components, int callLimitMilliseconds) {
    return GuardedExport(
        kSetIsolation,
        [&] {
            if (components < 0 || components > (kNolvBit | kSivatBit)) {
                RecordFailure(FailureStep::ArgumentOutOfRange, E_INVALIDARG,
                              L"components must be 0 (neither), 1 (Nolv), 2 (Sivat) or 3 (both)");
                return 0;
            }
            if (callLimitMilliseconds < 0) {
                RecordFailure(FailureStep::ArgumentOutOfRange, E_INVALIDARG,
                              L"callLimitMilliseconds must be 0 (no limit) or more");
                return 0;
            }
            const DWORD limit = static_cast<DWORD>(callLimitMilliseconds);
            nolvIsolation = {(components & kNolvBit) != 0, limit};
            sivatIsolation = {(components & kSivatBit) != 0, limit};
            return 1;
        },
        [] { return 0; });
}
