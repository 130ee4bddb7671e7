// What a component's IDispatch does with the names and calls it receives:
// log them, then answer as scripted.
#pragma once

#include <windows.h>
#include <oaidl.h>

namespace probe {

HRESULT lookUpNames(int component, REFIID riid, LPOLESTR* names, UINT nameCount,
                    LCID lcid, DISPID* dispids);

HRESULT invoke(int component, DISPID dispid, REFIID riid, LCID lcid, WORD flags,
               DISPPARAMS* params, VARIANT* result, EXCEPINFO* excepInfo,
               UINT* argErr);

}  // namespace probe
