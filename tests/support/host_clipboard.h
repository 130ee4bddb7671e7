// The clipboard as the host program sees it, for setting up inputs and
// reading what the library delivered.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

// Replaces the clipboard's content with bytes as CF_TEXT (a NUL is added).
void SetHostClipboardText(const std::string& bytes);
// Leaves the clipboard with no data at all.
void EmptyHostClipboard();
// Puts a small bitmap on the clipboard and nothing else.
void SetHostClipboardBitmap();
// CF_TEXT up to its NUL, or nothing when there is none.
std::optional<std::string> HostClipboardText();
// The formats the clipboard offers, synthesised ones included.
std::vector<UINT> HostClipboardFormats();
