// LoadNolvSys, LoadSivatSys, FreeNolvSys: the host decides when the two
// components exist.
#include "Nolv_Lib_Wrapper.h"
#include "bridge/component_contract.h"
#include "bridge/component_slot.h"
#include "frame/call_guard.h"

namespace {
int LoadComponent(ComponentSlot& slot, const wchar_t* progId) {
    return GuardedExport([&] { return CreateComponent(slot, progId) ? 1 : 0; },
                         [] { return -1; });
}
}  // namespace

int __cdecl LoadNolvSys(void) { return LoadComponent(NolvSlot, contract::kNolvProgId); }

int __cdecl LoadSivatSys(void) { return LoadComponent(SivatSlot, contract::kSivatProgId); }

// Releases both slots, not only the Nolv one. Nothing here raises, so it
// switches the module state but needs no catch-all.
void __cdecl FreeNolvSys(void) {
    ModuleStateScope moduleState(LibraryModuleState());
    ReleaseComponents();
}
