// The clipboard text channel: plain ANSI text (CF_TEXT) only. A clipboard
// that cannot be opened, written or read is recorded as the call's failure.
#pragma once

#include "clipboard/heap_text.h"

// Replaces the clipboard's content with text (never null). True when the
// clipboard took the text; false leaves it as it was, except that a
// clipboard which was emptied and then refused the block stays empty.
bool PutClipboardText(const char* text) noexcept;

// A private copy of the clipboard's text, or null when it holds none or
// cannot be opened or read.
HeapText GetClipboardText() noexcept;
