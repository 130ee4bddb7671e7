#include "support/text_channels.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/host_clipboard.h"

namespace {

constexpr char kSentinel[] = "the person's own copy";
// Room for the longest list a test delivers (a megabyte and more).
constexpr int kBufferSize = 1 << 21;

// A host's text argument in UTF-16: the same characters, null stays null.
WideArgument Argument(const char* ansi) { return WideArgument(ansi, CP_ACP); }

// Runs call(buffer, size, &needed) with a buffer of the channel's width and
// checks what every buffer export promises.
template <class Char, class Call>
Delivery IntoBuffer(Call call) {
    SetHostClipboardText(kSentinel);
    std::vector<Char> buffer(kBufferSize, Char('#'));
    int needed = -1;
    const int result = call(buffer.data(), kBufferSize, &needed);
    EXPECT_EQ(HostClipboardText(), kSentinel) << "a buffer export touched the clipboard";
    const std::basic_string<Char> text(buffer.data());
    EXPECT_EQ(needed, static_cast<int>(text.size()) + 1) << "the size reported";
    if constexpr (sizeof(Char) == 1)
        return {result, text};
    else
        return {result, BytesFromWide(text, CP_ACP)};
}

}  // namespace

const char* NameOf(Channel channel) {
    static const char* const names[] = {"clipboard", "ANSI buffer", "UTF-16 buffer"};
    return names[static_cast<int>(channel)];
}

Delivery NumberString(WrapperLibrary& w, Channel channel, const char* firstText,
                      const char* secondText, int* first, int* second) {
    switch (channel) {
    case Channel::Clipboard: {
        const int result = w.getNumberStrRZ(firstText, secondText, first, second);
        return {result, HostClipboardText()};
    }
    case Channel::Buffer:
        return IntoBuffer<char>([&](char* buffer, int size, int* needed) {
            return w.getNumberStrBuf(firstText, secondText, first, second, buffer, size, needed);
        });
    case Channel::BufferW:
        return IntoBuffer<wchar_t>([&](wchar_t* buffer, int size, int* needed) {
            return w.getNumberStrBufW(Argument(firstText).get(), Argument(secondText).get(),
                                      first, second, buffer, size, needed);
        });
    }
    return {};
}

Delivery PartsNameList(WrapperLibrary& w, Channel channel, const char* text,
                       const std::optional<std::string>& input, int limit) {
    const char* inputText = input ? input->c_str() : nullptr;
    switch (channel) {
    case Channel::Clipboard: {
        if (input) SetHostClipboardText(*input);
        else EmptyHostClipboard();
        const int result = w.getPartsNameListRZClip(text, limit);
        return {result, HostClipboardText()};
    }
    case Channel::Buffer:
        return IntoBuffer<char>([&](char* buffer, int size, int* needed) {
            return w.getPartsNameListBuf(text, inputText, limit, buffer, size, needed);
        });
    case Channel::BufferW:
        return IntoBuffer<wchar_t>([&](wchar_t* buffer, int size, int* needed) {
            return w.getPartsNameListBufW(Argument(text).get(), Argument(inputText).get(), limit,
                                          buffer, size, needed);
        });
    }
    return {};
}
