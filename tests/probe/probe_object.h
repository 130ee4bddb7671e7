// The object a component's class factory makes: IUnknown and IDispatch.
#pragma once

#include <windows.h>
#include <oaidl.h>

namespace probe {

// Makes an object of the component's class and asks it for riid.
HRESULT createObject(int component, REFIID riid, void** object);

}  // namespace probe
