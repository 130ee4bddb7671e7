// What the text operations give when there is no text to deliver (the
// method is unknown, or their call failed): the empty text where the host
// reads the text, so that no stale text passes for the answer, and 0.
#pragma once

#include "clipboard/clipboard_text.h"
#include "operations/text_buffer.h"

inline int DeliverEmptyText() {
    PutClipboardText("");
    return 0;
}

template <class Char>
int DeliverEmptyTextInto(Char* buffer, int size, int* needed) noexcept {
    const Char empty[] = {Char()};
    DeliverToBuffer(empty, buffer, size, needed);
    return 0;
}
