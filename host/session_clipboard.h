// The clipboard as the host sets it up before a call and reads it after.
// Both throw SessionError (HostFailed) when the clipboard stays out of reach.
#pragma once

#include <optional>
#include <string>

#include "command_line.h"

// Replaces the clipboard's content with the text as CF_TEXT, or with
// nothing at all when there is no text.
void PutClipboardText(const Text& text);
// The clipboard's CF_TEXT up to its NUL (never past its memory block), or
// none when it holds no text.
std::optional<std::string> ClipboardText();
