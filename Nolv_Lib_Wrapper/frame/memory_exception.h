// The class library's memory exception and the array allocation that
// raises it: what the argument arrays of the late-bound calls are made with.
#pragma once

#include <cstddef>
#include <memory>
#include <new>

#include "frame/failure_record.h"

class CMemoryException {};

// Records the call's failure for want of memory and raises the exception.
[[noreturn]] inline void RaiseMemoryException() {
    RecordFailure(FailureStep::Memory, E_OUTOFMEMORY);
    throw CMemoryException();
}

// Array new of n value-initialised elements; raises CMemoryException when
// memory is exhausted.
template <class T>
std::unique_ptr<T[]> NewArrayOrThrow(std::size_t n) {
    T* elements = new (std::nothrow) T[n]();
    if (elements == nullptr) RaiseMemoryException();
    return std::unique_ptr<T[]>(elements);
}
