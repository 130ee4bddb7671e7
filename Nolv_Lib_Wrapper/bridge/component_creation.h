// Creating a component's object. In process comes first, always. The
// 64-bit twin also reaches components that exist only as 32-bit DLLs, when
// they are set up for the system's DLL surrogate: COM then runs the DLL in
// a 32-bit surrogate process and hands back a proxy, which the slots and
// the operations use as they would the object itself.
#pragma once

#include <windows.h>
#include <objbase.h>

// CoCreateInstance's status; on success *object holds one reference.
HRESULT CreateComponentObject(const CLSID& classId, IUnknown** object);

#ifdef _WIN64
// The class's CLSID, as 32-bit processes see it, names an AppID whose key
// has a DllSurrogate value (empty: the system's own surrogate).
bool SetUpForSurrogate(const CLSID& classId);
#endif
