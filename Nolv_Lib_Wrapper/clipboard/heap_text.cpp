#include "clipboard/heap_text.h"

#include <cstring>

#include "frame/memory_exception.h"

HeapText CopyToHeap(const char* text) {
    const std::size_t size = std::strlen(text) + 1;
    HeapText copy(static_cast<char*>(std::malloc(size)));
    if (!copy) RaiseMemoryException();
    std::memcpy(copy.get(), text, size);
    return copy;
}
