// Owners for what the library holds of a component and what an operation
// makes on its way to one and back: interface references, automation
// strings, the result value and ANSI texts. Each releases what it holds on
// every way out, the exception path included.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <initializer_list>
#include <memory>
#include <utility>

// One reference to a COM interface. Assignment puts the new reference in
// place before the old one is released, so that whatever the release runs
// (a component's own code) finds the owner already holding the new one.
template <class Interface>
class ComPtr {
public:
    constexpr ComPtr() = default;
    // Takes over a reference the caller holds.
    explicit ComPtr(Interface* adopted) : pointer_(adopted) {}
    ComPtr(const ComPtr& other) : pointer_(other.pointer_) {
        if (pointer_ != nullptr) pointer_->AddRef();
    }
    ComPtr(ComPtr&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
    ComPtr& operator=(ComPtr other) noexcept {
        std::swap(pointer_, other.pointer_);
        return *this;  // other releases the old reference
    }
    ~ComPtr() {
        if (pointer_ != nullptr) pointer_->Release();
    }

    Interface* get() const { return pointer_; }
    // Gives up the reference, unreleased, to the caller.
    Interface* detach() { return std::exchange(pointer_, nullptr); }
    Interface* operator->() const { return pointer_; }
    explicit operator bool() const { return pointer_ != nullptr; }
    // Where a creation or QueryInterface stores a new reference; the owner
    // must be empty.
    Interface** put() { return &pointer_; }
    void** put_void() { return reinterpret_cast<void**>(&pointer_); }

private:
    Interface* pointer_ = nullptr;
};

// An automation string (a null one stands for the empty string).
class Bstr {
public:
    Bstr() = default;
    explicit Bstr(BSTR text) : text_(text) {}
    ~Bstr() {
        if (text_ != nullptr) SysFreeString(text_);
    }
    Bstr(Bstr&& other) noexcept : text_(other.text_) { other.text_ = nullptr; }
    Bstr& operator=(Bstr&& other) noexcept {
        if (this != &other) {
            SysFreeString(text_);
            text_ = other.text_;
            other.text_ = nullptr;
        }
        return *this;
    }

    BSTR get() const { return text_; }
    // The variable itself, for a by-reference argument: the component may
    // replace the string (freeing the old one), and this owner then frees
    // whatever it left there.
    BSTR* variable() { return &text_; }

private:
    BSTR text_ = nullptr;
};

// A result value: initialised empty, cleared when the operation is done.
class ResultValue {
public:
    ResultValue() { VariantInit(&value_); }
    ~ResultValue() { VariantClear(&value_); }
    ResultValue(const ResultValue&) = delete;
    ResultValue& operator=(const ResultValue&) = delete;

    VARIANT* get() { return &value_; }
    const VARIANT& value() const { return value_; }

private:
    VARIANT value_;
};

// The exception information a method may give back with DISP_E_EXCEPTION:
// empty until then, its strings freed however the call ends.
class ExceptionInfo {
public:
    ExceptionInfo() : info_() {}
    ~ExceptionInfo() {
        for (BSTR text : {info_.bstrSource, info_.bstrDescription, info_.bstrHelpFile})
            if (text != nullptr) SysFreeString(text);
    }
    ExceptionInfo(const ExceptionInfo&) = delete;
    ExceptionInfo& operator=(const ExceptionInfo&) = delete;

    EXCEPINFO* get() { return &info_; }

private:
    EXCEPINFO info_;
};

// ANSI text made with array new.
using AnsiText = std::unique_ptr<char[]>;
