// A VARIANT that is cleared however the scope is left.
#pragma once

#include "common/com_headers.h"

class VariantOwner {
public:
    VariantOwner() { VariantInit(&value_); }
    ~VariantOwner() { VariantClear(&value_); }
    VariantOwner(const VariantOwner&) = delete;
    VariantOwner& operator=(const VariantOwner&) = delete;

    VARIANT& get() { return value_; }

private:
    VARIANT value_;
};
