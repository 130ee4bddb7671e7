// One Invoke of a method, as its handler sees it: the arguments by their
// declared position (rgvarg holds them last first), read leniently, and the
// result slot.
#pragma once

#include "common/com_headers.h"

#include <string>

class MethodCall {
public:
    MethodCall(const DISPPARAMS& parameters, VARIANT* result, EXCEPINFO* exception)
        : parameters_(parameters), result_(result), exception_(exception) {}

    // By reference or by value, anything that converts to the type; a null
    // string is the empty text. DISP_E_TYPEMISMATCH otherwise.
    HRESULT Text(UINT parameter, std::wstring& text);
    HRESULT Integer(UINT parameter, LONG& value);

    // Only a VT_I4 passed by reference has somewhere to write to; a value
    // passed by value keeps the caller's copy.
    void WriteInteger(UINT parameter, LONG value);

    // Into the result slot, when the caller asked for a result.
    HRESULT ReturnText(const std::wstring& text);
    void ReturnInteger(LONG value);

    // Fails the call with an automation exception: DISP_E_EXCEPTION, and
    // the sample's name as its source and description as its description,
    // when the caller passed somewhere to put them.
    HRESULT Raise(const std::wstring& description);

    // The rgvarg index of the argument that did not convert.
    UINT BadArgument() const { return badArgument_; }

private:
    UINT ArgumentIndex(UINT parameter) const;
    HRESULT Converted(UINT parameter, VARTYPE type, VARIANT& value);

    const DISPPARAMS& parameters_;
    VARIANT* const result_;
    EXCEPINFO* const exception_;
    UINT badArgument_ = 0;
};
