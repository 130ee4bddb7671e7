#include "benchmark/direct_calls.h"

#include <oleauto.h>

#include <cstdlib>
#include <cstring>
#include <new>

#include "bridge/ansi_code_page.h"
#include "operations/count_commas.h"

namespace direct {
namespace {

BSTR ToBstr(const char* text) {
    if (text == nullptr) return nullptr;
    const int length = lstrlenA(text) + 1;
    const int wideLength = MultiByteToWideChar(CP_ACP, 0, text, length, nullptr, 0);
    wchar_t stackBuffer[4096];
    wchar_t* wide = wideLength <= 4096 ? stackBuffer
                                      : static_cast<wchar_t*>(std::malloc(sizeof(wchar_t) * wideLength));
    MultiByteToWideChar(CP_ACP, 0, text, length, wide, wideLength);
    BSTR converted = SysAllocString(wide);
    if (wide != stackBuffer) std::free(wide);
    return converted;
}

char* ToAnsi(BSTR text) {
    if (text == nullptr) return nullptr;
    const int length = lstrlenW(text) + 1;
    const int size = WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
    char* converted = new (std::nothrow) char[size];
    WideCharToMultiByte(CP_ACP, 0, text, length, converted, size, nullptr, nullptr);
    return converted;
}

// The result converted to text, as the library reads it.
char* ResultText(VARIANT& result) {
    if (V_VT(&result) == VT_EMPTY) return nullptr;
    VARIANT text;
    VariantInit(&text);
    char* converted = SUCCEEDED(VariantChangeType(&text, &result, 0, VT_BSTR)) ? ToAnsi(V_BSTR(&text)) : nullptr;
    VariantClear(&text);
    return converted;
}

DISPID LookUp(IDispatch* component, const wchar_t* method) {
    LPOLESTR names[] = {const_cast<LPOLESTR>(method)};
    DISPID id = DISPID_UNKNOWN;
    component->GetIDsOfNames(IID_NULL, names, 1, LOCALE_SYSTEM_DEFAULT, &id);
    return id;
}

void Invoke(IDispatch* component, DISPID id, VARIANTARG* arguments, UINT count, VARIANT* result) {
    DISPPARAMS parameters{};
    parameters.rgvarg = arguments;
    parameters.cArgs = count;
    if (result != nullptr) VariantInit(result);
    component->Invoke(id, IID_NULL, LOCALE_SYSTEM_DEFAULT, DISPATCH_METHOD, &parameters, result,
                      nullptr, nullptr);
}

void SetText(VARIANTARG& element, BSTR* text) {
    element.vt = VT_BSTR | VT_BYREF;
    element.pbstrVal = text;
}

void SetInteger(VARIANTARG& element, LONG* value) {
    element.vt = VT_I4 | VT_BYREF;
    element.plVal = value;
}

bool OpenWithRetry() {
    for (int attempt = 1; attempt <= 25; ++attempt) {
        if (OpenClipboard(nullptr)) return true;
        Sleep(20);
    }
    return false;
}

char* HeapCopy(const char* text) {
    const size_t size = std::strlen(text) + 1;
    char* copy = static_cast<char*>(std::malloc(size));
    std::memcpy(copy, text, size);
    return copy;
}

bool PutText(const char* text) {
    const size_t length = std::strlen(text);
    char* copy = new char[length + 1];  // the library's string copy
    std::memcpy(copy, text, length + 1);
    bool written = false;
    if (OpenWithRetry()) {
        HGLOBAL block = GlobalAlloc(GMEM_FIXED, length + 1);
        lstrcpyA(static_cast<char*>(block), copy);
        EmptyClipboard();
        written = SetClipboardData(CF_TEXT, block) != nullptr;
        CloseClipboard();
    }
    delete[] copy;
    return written;
}

char* GetText() {
    if (!IsClipboardFormatAvailable(CF_TEXT) || !OpenWithRetry()) return nullptr;
    HANDLE data = GetClipboardData(CF_TEXT);
    const char* locked = static_cast<const char*>(GlobalLock(data));
    const SIZE_T size = GlobalSize(data);
    const void* end = std::memchr(locked, '\0', size);
    const size_t length = end ? static_cast<const char*>(end) - locked : size;
    char* copy = static_cast<char*>(std::malloc(length + 1));
    std::memcpy(copy, locked, length);
    copy[length] = '\0';
    GlobalUnlock(data);
    CloseClipboard();
    return copy;
}

// Invokes with a result, reads it as text and releases the argument array
// and the result, in the library's order.
char* InvokeForText(IDispatch* component, DISPID id, VARIANTARG* arguments, UINT count) {
    VARIANT result;
    Invoke(component, id, arguments, count, &result);
    char* text = ResultText(result);
    delete[] arguments;
    VariantClear(&result);
    return text;
}

// The text handed to the clipboard through a heap copy, as the library does.
bool DeliverCopy(const char* text) {
    char* copy = HeapCopy(text ? text : "");
    const bool delivered = PutText(copy);
    std::free(copy);
    return delivered;
}

// The result's string, as the buffer forms read it.
BSTR ResultString(VARIANT& result) {
    if (V_VT(&result) == VT_EMPTY) return nullptr;
    VARIANT text;
    VariantInit(&text);
    if (FAILED(VariantChangeType(&text, &result, 0, VT_BSTR))) return nullptr;
    return V_BSTR(&text);
}

BSTR HostString(const char* text) { return ToBstr(text); }
BSTR HostString(const wchar_t* text) { return text ? SysAllocString(text) : nullptr; }

// Whole characters that fit before the NUL; true when all of them did.
bool CopyCut(const char* text, char* buffer, int size) {
    const int length = lstrlenA(text);
    int fit = 0;
    while (fit < length) {
        const int units = static_cast<int>(AnsiCharacterUnits(text + fit));
        if (fit + units > size - 1) break;
        fit += units;
    }
    std::memcpy(buffer, text, fit);
    buffer[fit] = '\0';
    return fit == length;
}

bool CopyCut(const wchar_t* text, wchar_t* buffer, int size) {
    const int length = lstrlenW(text);
    int fit = 0;
    while (fit < length) {
        const int units = IS_HIGH_SURROGATE(text[fit]) && IS_LOW_SURROGATE(text[fit + 1]) ? 2 : 1;
        if (fit + units > size - 1) break;
        fit += units;
    }
    std::memcpy(buffer, text, fit * sizeof(wchar_t));
    buffer[fit] = L'\0';
    return fit == length;
}

bool Deliver(BSTR text, char* buffer, int size) {
    char* ansi = ToAnsi(text);
    const bool whole = CopyCut(ansi ? ansi : "", buffer, size);
    delete[] ansi;
    return whole;
}

bool Deliver(BSTR text, wchar_t* buffer, int size) { return CopyCut(text ? text : L"", buffer, size); }

BSTR InvokeForString(IDispatch* component, DISPID id, VARIANTARG* arguments, UINT count) {
    VARIANT result;
    Invoke(component, id, arguments, count, &result);
    BSTR text = ResultString(result);
    delete[] arguments;
    VariantClear(&result);
    return text;
}

// The two text methods' argument elements, the last parameter first.
VARIANTARG* NumberStringArguments(BSTR* textA, BSTR* textB, int* a, int* b) {
    VARIANTARG* arguments = new VARIANTARG[4]();
    SetInteger(arguments[0], reinterpret_cast<LONG*>(b));
    SetInteger(arguments[1], reinterpret_cast<LONG*>(a));
    SetText(arguments[2], textB);
    SetText(arguments[3], textA);
    return arguments;
}

VARIANTARG* NameListArguments(BSTR* textA, BSTR* textC, LONG* limit) {
    VARIANTARG* arguments = new VARIANTARG[3]();
    SetInteger(arguments[0], limit);
    SetText(arguments[1], textC);
    SetText(arguments[2], textA);
    return arguments;
}

// A list's fields: the clipboard form counts by the runtime's multibyte
// table, the buffer forms by the ANSI code page, as the library does (its
// own counting routines).
int BufferFields(const char* text) { return CountAnsiCommas(text) + 1; }
int BufferFields(const wchar_t* text) { return CountCommas(text) + 1; }

}  // namespace

int NumberString(IDispatch* nolv, const char* first, const char* second, int* a, int* b) {
    BSTR textA = ToBstr(first);
    BSTR textB = ToBstr(second);
    const DISPID id = LookUp(nolv, L"getNumberStr");
    char* number = InvokeForText(nolv, id, NumberStringArguments(&textA, &textB, a, b), 4);
    SysFreeString(textA);
    SysFreeString(textB);
    DeliverCopy(number);
    delete[] number;
    return *a + *b;
}

int PartsNameList(IDispatch* nolv, const char* text, int limit) {
    char* input = GetText();
    BSTR textA = ToBstr(text);
    BSTR textC = ToBstr(input);
    std::free(input);
    const DISPID id = LookUp(nolv, L"getNameListCSV");
    LONG ownLimit = limit;
    char* list = InvokeForText(nolv, id, NameListArguments(&textA, &textC, &ownLimit), 3);
    const bool delivered = DeliverCopy(list);
    SysFreeString(textA);
    SysFreeString(textC);
    int fields = 0;
    if (list && *list && delivered) {
        char* readBack = GetText();
        fields = CountCommas(readBack ? readBack : list) + 1;
        std::free(readBack);
    }
    delete[] list;
    return fields;
}

int Mode(IDispatch* sivat, const char* text) {
    const DISPID id = LookUp(sivat, L"getSivatMode");
    BSTR textA = ToBstr(text);
    BSTR spaces = ToBstr("               ");
    LONG unused = 0;
    VARIANTARG* arguments = new VARIANTARG[3]();
    SetText(arguments[0], &textA);
    SetInteger(arguments[1], &unused);
    SetText(arguments[2], &spaces);
    VARIANT result;
    Invoke(sivat, id, arguments, 3, &result);
    VARIANT integer;
    VariantInit(&integer);
    const int mode = V_VT(&result) != VT_EMPTY && SUCCEEDED(VariantChangeType(&integer, &result, 0, VT_I4))
                         ? V_I4(&integer)
                         : -1;
    VariantClear(&integer);
    delete[] arguments;
    VariantClear(&result);
    SysFreeString(textA);
    SysFreeString(spaces);
    return mode;
}

void CallWithoutArguments(IDispatch* component, const wchar_t* method) {
    Invoke(component, LookUp(component, method), nullptr, 0, nullptr);
}

void SettingsFileName(IDispatch* nolv, const char* fileName) {
    BSTR name = ToBstr(fileName);
    const DISPID id = LookUp(nolv, L"setSettingDataFileName");
    VARIANTARG* arguments = new VARIANTARG[1]();
    SetText(arguments[0], &name);
    Invoke(nolv, id, arguments, 1, nullptr);
    delete[] arguments;
    SysFreeString(name);
}

template <class Char>
int NumberStringInto(IDispatch* nolv, const Char* first, const Char* second, int* a, int* b,
                     Char* buffer, int size) {
    BSTR textA = HostString(first);
    BSTR textB = HostString(second);
    const DISPID id = LookUp(nolv, L"getNumberStr");
    BSTR number = InvokeForString(nolv, id, NumberStringArguments(&textA, &textB, a, b), 4);
    Deliver(number, buffer, size);
    SysFreeString(number);
    SysFreeString(textA);
    SysFreeString(textB);
    return *a + *b;
}

template <class Char>
int PartsNameListInto(IDispatch* nolv, const Char* text, const Char* input, int limit,
                      Char* buffer, int size) {
    BSTR textA = HostString(text);
    BSTR textC = HostString(input);
    const DISPID id = LookUp(nolv, L"getNameListCSV");
    LONG ownLimit = limit;
    BSTR list = InvokeForString(nolv, id, NameListArguments(&textA, &textC, &ownLimit), 3);
    const bool whole = Deliver(list, buffer, size);
    SysFreeString(list);
    SysFreeString(textA);
    SysFreeString(textC);
    return whole && *buffer ? BufferFields(buffer) : 0;
}

template int NumberStringInto(IDispatch*, const char*, const char*, int*, int*, char*, int);
template int NumberStringInto(IDispatch*, const wchar_t*, const wchar_t*, int*, int*, wchar_t*, int);
template int PartsNameListInto(IDispatch*, const char*, const char*, int, char*, int);
template int PartsNameListInto(IDispatch*, const wchar_t*, const wchar_t*, int, wchar_t*, int);

}  // namespace direct
