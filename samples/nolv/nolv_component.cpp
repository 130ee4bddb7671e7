// The Nolv sample's class and its automation methods, each bound to the
// object's own session.
#include "common/component_class.h"
#include "common/component_message.h"
#include "common/fault_request.h"
#include "nolv/name_list.h"
#include "nolv/nolv_session.h"
#include "nolv/number_string.h"
#include "nolv/text_fields.h"

#include <memory>

namespace {

HRESULT SetSettingDataFileName(NolvSession& session, MethodCall& call) {
    std::wstring fileName;
    if (HRESULT hr = call.Text(0, fileName); FAILED(hr)) return hr;
    // A request to crash or hang names no file: afterwards, as for no name.
    if (ActOnFaultRequest(fileName)) fileName.clear();
    // The object goes on with the built-in settings, but the caller learns
    // that its file was not read.
    const std::wstring problem = session.UseSettingsFile(std::move(fileName));
    return problem.empty() ? S_OK : call.Raise(problem);
}

// (prefix, suffix, first, second) -> the number string
HRESULT GetNumberStr(const NolvSession& session, MethodCall& call) {
    std::wstring prefix;
    std::wstring suffix;
    LONG first = 0;
    LONG second = 0;
    HRESULT hr = call.Text(0, prefix);
    if (SUCCEEDED(hr)) hr = call.Text(1, suffix);
    if (SUCCEEDED(hr)) hr = call.Integer(2, first);
    if (SUCCEEDED(hr)) hr = call.Integer(3, second);
    if (FAILED(hr)) return hr;
    const NumberString number =
        MakeNumberString(session.Settings().number, prefix, suffix, first, second);
    // The integers change only with a delivered result.
    if (hr = call.ReturnText(number.text); FAILED(hr)) return hr;
    call.WriteInteger(2, number.first);
    call.WriteInteger(3, number.second);
    return S_OK;
}

// (filter, input, limit) -> the matching names; limit becomes their number.
// An input with no names in it means the settings' catalogue.
HRESULT GetNameListCSV(const NolvSession& session, MethodCall& call) {
    std::wstring filter;
    std::wstring input;
    LONG limit = 0;
    HRESULT hr = call.Text(0, filter);
    if (SUCCEEDED(hr)) hr = call.Text(1, input);
    if (SUCCEEDED(hr)) hr = call.Integer(2, limit);
    if (FAILED(hr)) return hr;
    const std::vector<std::wstring> names = SplitNames(input);
    const NameList list =
        SelectNames(names.empty() ? session.Settings().parts : names, filter, limit);
    if (hr = call.ReturnText(list.csv); FAILED(hr)) return hr;
    call.WriteInteger(2, list.count);
    return S_OK;
}

MethodTable MakeNolvMethods() {
    const auto session = std::make_shared<NolvSession>();
    return {
        {L"setSettingDataFileName", 1,
         [session](MethodCall& call) { return SetSettingDataFileName(*session, call); }},
        {L"getNumberStr", 4, [session](MethodCall& call) { return GetNumberStr(*session, call); }},
        {L"getNameListCSV", 3,
         [session](MethodCall& call) { return GetNameListCSV(*session, call); }},
        AboutBoxMethod(L"AboutBox"),
        {L"editSettingData", 0,
         [session](MethodCall&) {
             session->EditSettingsFile();
             return S_OK;
         }},
    };
}

}  // namespace

// {4FC891A5-0C8B-4417-A261-6172B7EFBE34}
const ComponentClass kComponentClass{
    {0x4fc891a5, 0x0c8b, 0x4417, {0xa2, 0x61, 0x61, 0x72, 0xb7, 0xef, 0xbe, 0x34}},
    L"NOLV_Lib.NOLVComClass",
    L"Nolv sample component",
    L"1.0",
    MakeNolvMethods,
};
