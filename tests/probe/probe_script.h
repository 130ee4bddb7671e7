// What each component's methods do when invoked, as the test scripted it.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include "probe_control.h"

#include <string>
#include <vector>

namespace probe {

// Owns a VARIANT; it stays where it was made, so it is neither copied nor moved.
// Kept apart from the library's own owners: a fault there must not hide here.
class OwnedVariant {
public:
    OwnedVariant() { VariantInit(&value); }
    ~OwnedVariant() { VariantClear(&value); }
    OwnedVariant(const OwnedVariant&) = delete;
    OwnedVariant& operator=(const OwnedVariant&) = delete;
    VARIANT value;
};

struct IntegerWriteBack {
    int declaredIndex;
    LONG value;
};

struct TextWriteBack {
    int declaredIndex;
    bool isNull;
    std::wstring text;
};

struct RaisedException {
    bool raised = false;
    bool deferred = false;
    bool hasSource = false;
    bool hasDescription = false;
    std::wstring source;
    std::wstring description;
};

// Host code the probe runs at one point of a call (see ProbeSetHook).
struct HostHook {
    ProbeHook hook = nullptr;
    void* context = nullptr;
    int where = PROBE_HOOK_IN_CALL;
    void run(int at) const {
        if (hook != nullptr && where == at) hook(context);
    }
};

struct Method {
    explicit Method(const wchar_t* methodName) : name(methodName) {}
    std::wstring name;
    HRESULT status = S_OK;
    bool hasResult = false;
    OwnedVariant result;
    std::vector<IntegerWriteBack> integerWriteBacks;
    std::vector<TextWriteBack> textWriteBacks;
    RaisedException exception;
    HostHook hook;
};

// The method a name stands for (case-insensitive), with its dispid; null when
// the component has no such method.
const Method* findMethod(int component, const wchar_t* name, DISPID* dispid);
// The method behind a dispid, or null when the dispid is not one we gave out.
const Method* methodOf(int component, DISPID dispid);

bool refusesDispatch(int component);
// The hook run as an object of the component is made.
HostHook creationHook(int component);

void forgetScripts();

}  // namespace probe
