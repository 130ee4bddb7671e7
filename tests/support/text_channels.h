// The channels a text operation delivers its text through: the clipboard
// (the eleven's way), the host's ANSI buffer and its UTF-16 buffer. An
// operation's cases run through each. Texts are given and compared as ANSI
// text of the running code page; the UTF-16 channel converts them on the
// host's side, as a UTF-16 host would hold them. Every buffer call also
// checks what is true of all of them: a sentinel on the clipboard survives
// it, the text is NUL-terminated and *needed is its size.
#pragma once

#include <optional>
#include <string>

#include "support/wrapper_library.h"
#include "wide_text.h"

enum class Channel { Clipboard, Buffer, BufferW };
inline constexpr Channel kChannels[] = {Channel::Clipboard, Channel::Buffer, Channel::BufferW};
const char* NameOf(Channel channel);

struct Delivery {
    int result;
    std::optional<std::string> text;  // none: the clipboard held no text
};

// The number string, its texts passed as given (null stays null).
Delivery NumberString(WrapperLibrary& wrapper, Channel channel, const char* firstText,
                      const char* secondText, int* first, int* second);

// The parts-name list of input: on the clipboard for the clipboard channel
// (none leaves the clipboard without text), otherwise as the argument
// (none passes null).
Delivery PartsNameList(WrapperLibrary& wrapper, Channel channel, const char* text,
                       const std::optional<std::string>& input, int limit);
