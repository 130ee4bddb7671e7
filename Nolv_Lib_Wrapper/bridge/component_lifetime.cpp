// LoadNolvSys, LoadSivatSys, FreeNolvSys: the host decides when the two
// components exist.
#include "Nolv_Lib_Wrapper.h"
#include "bridge/component_contract.h"
#include "bridge/component_slot.h"
#include "frame/call_guard.h"

namespace {
constexpr ExportCall kLoadNolvSys = contract::NolvExport("LoadNolvSys");
constexpr ExportCall kLoadSivatSys = contract::SivatExport("LoadSivatSys");
constexpr ExportCall kFreeNolvSys = {"FreeNolvSys", nullptr, nullptr, nullptr};

int LoadComponent(const ExportCall& call, ComponentSlot& slot) {
    return GuardedExport(call, [&] { return CreateComponent(slot, call.progId) ? 1 : 0; },
                         [] { return -1; });
}
}  // namespace

int __cdecl LoadNolvSys(void) { return LoadComponent(kLoadNolvSys, NolvSlot); }

int __cdecl LoadSivatSys(void) { return LoadComponent(kLoadSivatSys, SivatSlot); }

// Releases both slots, not only the Nolv one. Nothing here raises, so it
// switches the module state but needs no catch-all.
void __cdecl FreeNolvSys(void) {
    const ExportScope scope(kFreeNolvSys);
    const ModuleStateScope moduleState(scope.thread(), LibraryModuleState());
    ReleaseComponents();
}
