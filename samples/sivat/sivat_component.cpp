// The Sivat sample's class and its automation methods.
#include "common/component_class.h"
#include "common/component_message.h"
#include "common/fault_request.h"
#include "sivat/sivat_mode.h"

namespace {

// (padding, scratch, text) -> the text's mode. The padding is not looked
// at; scratch receives the text's length in characters.
HRESULT GetSivatMode(MethodCall& call) {
    std::wstring text;
    if (HRESULT hr = call.Text(2, text); FAILED(hr)) return hr;
    // After a requested hang, the text is not classified: as for no text.
    if (ActOnFaultRequest(text)) text.clear();
    call.ReturnInteger(ClassifyText(text));
    call.WriteInteger(1, static_cast<LONG>(text.size()));
    return S_OK;
}

MethodTable MakeSivatMethods() {
    return {
        {L"getSivatMode", 3, GetSivatMode},
        AboutBoxMethod(L"About"),
    };
}

}  // namespace

// {510E147B-5240-4259-9117-0499D6CCF711}
const ComponentClass kComponentClass{
    {0x510e147b, 0x5240, 0x4259, {0x91, 0x17, 0x04, 0x99, 0xd6, 0xcc, 0xf7, 0x11}},
    L"FendrelLib.SivatComClass",
    L"Sivat sample component",
    L"1.0",
    MakeSivatMethods,
};
