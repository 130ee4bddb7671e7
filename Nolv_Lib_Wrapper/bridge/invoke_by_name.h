// The late-bound call: a method looked up by name on a component's
// dispatch reference, then invoked with every argument passed by
// reference. The two stages are separate because an operation may do
// other work between them. A failure of either is recorded.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <cstddef>
#include <memory>
#include <optional>

#include "bridge/component_slot.h"
#include "frame/export_scope.h"

// The component an operation calls, borrowed from its slot as the call
// starts and marked as the export's own: a FreeNolvSys nested in one of the
// component's methods (the host may run while a dialog is up, say) empties
// the slot, but hands the references to this export, so that the
// component, and the process it runs in when isolated, live until the
// method has returned (export_scope.h). No dispatch reference when the slot
// holds none (a component never loaded, not loaded whole, or freed).
struct CalledComponent {
    IsolatedComponent* isolated;
    IDispatch* dispatch;
};

// An isolated component whose process has ended is started again first,
// once; if it cannot be, the slot is emptied and the reason recorded.
CalledComponent IsolatedCallReference(ComponentSlot& slot);
inline CalledComponent CallReference(ComponentSlot& slot) {
    if (slot.isolated) return IsolatedCallReference(slot);
    MarkCalling(slot.dispatch.get(), nullptr);
    return {nullptr, slot.dispatch.get()};
}

// Lookup stage. Nothing when the name is not resolved, and also when there
// is no component: the operation then behaves as for a method the
// component does not know.
std::optional<DISPID> LookUpMethod(const CalledComponent& component, const wchar_t* name);

// The argument elements of one invocation, element 0 holding the method's
// last parameter. Each element points at a variable of the caller's.
class ArgumentArray {
public:
    // No array is allocated for a count of 0; raises CMemoryException when
    // memory is exhausted.
    explicit ArgumentArray(std::size_t count);

    void Text(std::size_t element, BSTR* text) {  // VT_BSTR | VT_BYREF
        elements_[element].vt = VT_BSTR | VT_BYREF;
        elements_[element].pbstrVal = text;
    }
    void Integer(std::size_t element, LONG* value) {  // VT_I4 | VT_BYREF
        elements_[element].vt = VT_I4 | VT_BYREF;
        elements_[element].plVal = value;
    }

    DISPPARAMS Parameters() {
        DISPPARAMS parameters{};
        parameters.rgvarg = elements_.get();
        parameters.cArgs = static_cast<UINT>(count_);
        return parameters;
    }

private:
    std::size_t count_;
    std::unique_ptr<VARIANTARG[]> elements_;
};

// Invocation stage: DISPATCH_METHOD, no named arguments, result into result
// when it is not null. A failed invocation leaves the result value empty,
// which each operation treats as no answer; the status only goes into the
// record, with the component's exception information and the argument it
// objected to, or how its process ended when it ran isolated. Both stages
// keep an isolated component's time limit.
void InvokeMethod(const CalledComponent& component, DISPID method, ArgumentArray& arguments,
                  VARIANT* result);

// A method called with no arguments and no result requested; not called
// when its name is not resolved.
void CallMethod(ComponentSlot& slot, const wchar_t* name);
