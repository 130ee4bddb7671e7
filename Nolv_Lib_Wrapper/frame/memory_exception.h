// The class library's memory exception and the array allocation that
// raises it: what the argument arrays of the late-bound calls are made with.
#pragma once

#include <cstddef>
#include <memory>
#include <new>

class CMemoryException {};

// Array new of n value-initialised elements; raises CMemoryException when
// memory is exhausted.
template <class T>
std::unique_ptr<T[]> NewArrayOrThrow(std::size_t n) {
    T* elements = new (std::nothrow) T[n]();
    if (elements == nullptr) throw CMemoryException();
    return std::unique_ptr<T[]>(elements);
}
