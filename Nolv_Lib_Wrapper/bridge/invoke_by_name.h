// The late-bound call: a method looked up by name on a dispatch reference,
// then invoked with every argument passed by reference. The two stages are
// separate because an operation may do other work between them.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <cstddef>
#include <memory>
#include <optional>

// Lookup stage. Nothing when the name is not resolved, and also when there
// is no dispatch reference (a component never loaded or already freed): the
// operation then behaves as for a method the component does not know.
std::optional<DISPID> LookUpMethod(IDispatch* dispatch, const wchar_t* name);

// The argument elements of one invocation, element 0 holding the method's
// last parameter. Each element points at a variable of the caller's.
class ArgumentArray {
public:
    // No array is allocated for a count of 0; raises CMemoryException when
    // memory is exhausted.
    explicit ArgumentArray(std::size_t count);

    void Text(std::size_t element, BSTR* text);     // VT_BSTR | VT_BYREF
    void Integer(std::size_t element, LONG* value); // VT_I4 | VT_BYREF

    DISPPARAMS Parameters();

private:
    std::size_t count_;
    std::unique_ptr<VARIANTARG[]> elements_;
};

// Invocation stage: DISPATCH_METHOD, no named arguments, result into result
// when it is not null. The status is deliberately not examined: a failed
// invocation leaves the result value empty, and each operation treats an
// empty result as no answer.
void InvokeMethod(IDispatch* dispatch, DISPID method, ArgumentArray& arguments, VARIANT* result);

// A method called with no arguments and no result requested; not called
// when its name is not resolved.
void CallMethod(IDispatch* dispatch, const wchar_t* name);
