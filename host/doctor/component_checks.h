// The checks of one component the library creates: its registration in
// both registry views, its server file, its creation, IDispatch and the
// methods the library calls. COM must be initialised on the calling thread.
#pragma once

#include <vector>

#include "doctor/check.h"
#include "wrapper_exports.h"

struct ComponentNeeds {
    const wchar_t* progId;
    std::vector<const wchar_t*> methods;  // every name the library looks up
    const char* loadName;                                      // the library's function that loads it
    decltype(WrapperExports::LoadNolvSys) WrapperExports::*load;  // and where a host finds it
};

// The two components, as the library uses them.
const std::vector<ComponentNeeds>& LibraryComponents();

std::vector<Check> ComponentChecks(const ComponentNeeds& component);
