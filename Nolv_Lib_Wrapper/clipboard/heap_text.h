// Private ANSI copies on the runtime heap (malloc/free): what the clipboard
// reader hands out and what the operations hand to the clipboard writer.
#pragma once

#include <cstdlib>
#include <memory>

struct FreeHeapText {
    void operator()(char* text) const { std::free(text); }
};

using HeapText = std::unique_ptr<char, FreeHeapText>;

// A copy of text with its NUL; raises CMemoryException when the heap is
// exhausted.
HeapText CopyToHeap(const char* text);
