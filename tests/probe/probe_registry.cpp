// Registration of a component's class under a ProgID, in HKEY_CLASSES_ROOT,
// so that CLSIDFromProgID and CoCreateInstance find this very module.
#include "probe_classes.h"
#include "probe_control.h"

#include <string>

extern "C" IMAGE_DOS_HEADER __ImageBase;  // this module, as the linker knows it

namespace {

HRESULT setText(const std::wstring& key, const wchar_t* valueName, const std::wstring& text) {
    const DWORD bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    return HRESULT_FROM_WIN32(RegSetKeyValueW(HKEY_CLASSES_ROOT, key.c_str(), valueName,
                                              REG_SZ, text.c_str(), bytes));
}

// Removing what is not there succeeds, so teardown may unregister blindly.
HRESULT removeTree(const std::wstring& key) {
    const LSTATUS status = RegDeleteTreeW(HKEY_CLASSES_ROOT, key.c_str());
    return status == ERROR_FILE_NOT_FOUND ? S_OK : HRESULT_FROM_WIN32(status);
}

std::wstring classText(int component) {
    wchar_t text[39];  // "{8-4-4-4-12}" and its terminator
    StringFromGUID2(probe::classId(component), text, ARRAYSIZE(text));
    return text;
}

std::wstring classKey(int component) {
    return L"CLSID\\" + classText(component);
}

HRESULT modulePath(std::wstring& path) {
    path.assign(32768, L'\0');  // the longest path Windows allows
    const DWORD length = GetModuleFileNameW(reinterpret_cast<HMODULE>(&__ImageBase),
                                            &path[0], static_cast<DWORD>(path.size()));
    if (length == 0 || length == path.size()) return HRESULT_FROM_WIN32(GetLastError());
    path.resize(length);
    return S_OK;
}

bool validProgId(const wchar_t* progId) {
    return progId != nullptr && *progId != L'\0';
}

}  // namespace

extern "C" {

HRESULT ProbeRegister(int component, const wchar_t* progId) {
    if (!probe::isComponent(component) || !validProgId(progId)) return E_INVALIDARG;
    std::wstring path;
    if (HRESULT hr = modulePath(path); FAILED(hr)) return hr;
    const std::wstring server = classKey(component) + L"\\InprocServer32";
    HRESULT hr = setText(std::wstring(progId) + L"\\CLSID", nullptr, classText(component));
    if (SUCCEEDED(hr)) hr = setText(server, nullptr, path);
    if (SUCCEEDED(hr)) hr = setText(server, L"ThreadingModel", L"Apartment");
    return hr;
}

HRESULT ProbeUnregister(int component, const wchar_t* progId) {
    if (!probe::isComponent(component) || !validProgId(progId)) return E_INVALIDARG;
    const HRESULT hr = removeTree(progId);
    const HRESULT classHr = removeTree(classKey(component));
    return FAILED(hr) ? hr : classHr;
}

}  // extern "C"
