// What each sample server defines about its one class; the shared server
// code (class factory, registration, About box) works from it.
#pragma once

#include "common/com_headers.h"
#include "common/dispatch_object.h"

struct ComponentClass {
    CLSID classId;
    const wchar_t* progId;
    const wchar_t* name;  // the About box's and the registry's description
    const wchar_t* version;
    // A fresh object's methods, with state of its own.
    MethodTable (*makeMethods)();
};

// Defined once in each sample DLL.
extern const ComponentClass kComponentClass;
