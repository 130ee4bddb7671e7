#include "frame/module_state.h"

namespace {
thread_local AFX_MODULE_STATE* currentModuleState = nullptr;
}

AFX_MODULE_STATE* AfxGetModuleState() { return currentModuleState; }

AFX_MAINTAIN_STATE::AFX_MAINTAIN_STATE(AFX_MODULE_STATE* state)
    : previous_(currentModuleState) {
    currentModuleState = state;
}

AFX_MAINTAIN_STATE::~AFX_MAINTAIN_STATE() { currentModuleState = previous_; }
