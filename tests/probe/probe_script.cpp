// Method scripts per component, and the exports that write them.
#include "probe_script.h"

#include "probe_classes.h"
#include "probe_control.h"

#include <deque>
#include <wchar.h>

namespace probe {
namespace {

// Dispids start here so that none collides with DISPID_VALUE (0) or the
// negative reserved ones; a method keeps its dispid until the scripts go.
constexpr DISPID firstDispid = 100;

// A deque, because methods hold an OwnedVariant that must not move.
std::deque<Method> methods[componentCount];
bool dispatchRefused[componentCount];
HostHook creationHooks[componentCount];

Method* lookUp(int component, const wchar_t* name, DISPID* dispid) {
    if (!isComponent(component) || name == nullptr) return nullptr;
    std::deque<Method>& list = methods[component];
    for (size_t i = 0; i < list.size(); ++i) {
        if (_wcsicmp(list[i].name.c_str(), name) == 0) {
            if (dispid) *dispid = firstDispid + static_cast<DISPID>(i);
            return &list[i];
        }
    }
    return nullptr;
}

// Setting a script on a method also defines it, so a test need not repeat
// ProbeDefineMethod before each setting.
Method* defined(int component, const wchar_t* name) {
    if (!isComponent(component) || name == nullptr) return nullptr;
    if (Method* found = lookUp(component, name, nullptr)) return found;
    return &methods[component].emplace_back(name);
}

template <typename WriteBack>
WriteBack& writeBackFor(std::vector<WriteBack>& outs, int declaredIndex) {
    for (WriteBack& out : outs)
        if (out.declaredIndex == declaredIndex) return out;
    outs.push_back(WriteBack{});
    outs.back().declaredIndex = declaredIndex;
    return outs.back();
}

}  // namespace

const Method* findMethod(int component, const wchar_t* name, DISPID* dispid) {
    return lookUp(component, name, dispid);
}

const Method* methodOf(int component, DISPID dispid) {
    if (!isComponent(component) || dispid < firstDispid) return nullptr;
    const size_t index = static_cast<size_t>(dispid - firstDispid);
    return index < methods[component].size() ? &methods[component][index] : nullptr;
}

bool refusesDispatch(int component) {
    return isComponent(component) && dispatchRefused[component];
}

HostHook creationHook(int component) {
    return isComponent(component) ? creationHooks[component] : HostHook{};
}

void forgetScripts() {
    for (int component = 0; component < componentCount; ++component) {
        methods[component].clear();
        dispatchRefused[component] = false;
        creationHooks[component] = HostHook{};
    }
}

}  // namespace probe

using namespace probe;

extern "C" {

void ProbeDefineMethod(int component, const wchar_t* name) {
    defined(component, name);
}

void ProbeSetResult(int component, const wchar_t* name, const VARIANT* result) {
    Method* method = defined(component, name);
    if (method == nullptr) return;
    VariantClear(&method->result.value);
    // VariantCopy only reads its source; the SDK declares it non-const.
    method->hasResult =
        result != nullptr &&
        SUCCEEDED(VariantCopy(&method->result.value, const_cast<VARIANT*>(result)));
}

void ProbeSetInvokeStatus(int component, const wchar_t* name, HRESULT status) {
    if (Method* method = defined(component, name)) method->status = status;
}

void ProbeSetIntegerOut(int component, const wchar_t* name, int declaredIndex, LONG value) {
    if (Method* method = defined(component, name))
        writeBackFor(method->integerWriteBacks, declaredIndex).value = value;
}

void ProbeSetTextOut(int component, const wchar_t* name, int declaredIndex, const wchar_t* text) {
    Method* method = defined(component, name);
    if (method == nullptr) return;
    TextWriteBack& out = writeBackFor(method->textWriteBacks, declaredIndex);
    out.isNull = text == nullptr;
    out.text = text ? text : L"";
}

void ProbeSetException(int component, const wchar_t* name, const wchar_t* source,
                       const wchar_t* description, int deferred) {
    Method* method = defined(component, name);
    if (method == nullptr) return;
    RaisedException& exception = method->exception;
    exception.raised = true;
    exception.deferred = deferred != 0;
    exception.hasSource = source != nullptr;
    exception.source = source ? source : L"";
    exception.hasDescription = description != nullptr;
    exception.description = description ? description : L"";
}

void ProbeSetHook(int component, const wchar_t* name, ProbeHook hook, void* context, int where) {
    const HostHook set = {hook, context, where};
    if (name == nullptr) {
        if (isComponent(component)) creationHooks[component] = set;
    } else if (Method* method = defined(component, name)) {
        method->hook = set;
    }
}

void ProbeRefuseDispatch(int component, int refuse) {
    if (isComponent(component)) dispatchRefused[component] = refuse != 0;
}

}  // extern "C"
