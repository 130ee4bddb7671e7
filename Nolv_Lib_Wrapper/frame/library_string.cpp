#include "frame/library_string.h"

#include "frame/memory_exception.h"

namespace {
// The class library reports exhausted memory with its own exception.
template <class Step>
void RaisingMemoryException(Step step) {
    try {
        step();
    } catch (const std::bad_alloc&) {
        RaiseMemoryException();
    }
}
}  // namespace

CString::CString(const char* text) {
    if (text != nullptr) RaisingMemoryException([&] { text_ = text; });
}

CString operator+(const CString& left, const char* right) {
    CString joined;
    RaisingMemoryException([&] {
        joined.text_ = left.text_;
        if (right != nullptr) joined.text_ += right;
    });
    return joined;
}
