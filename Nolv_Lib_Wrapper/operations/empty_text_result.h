// What the two text operations give when there is no text to deliver (the
// method is unknown, or their call failed): the empty text on the
// clipboard, so that no stale text passes for the answer, and 0.
#pragma once

#include "clipboard/clipboard_text.h"

inline int DeliverEmptyText() {
    PutClipboardText("");
    return 0;
}
