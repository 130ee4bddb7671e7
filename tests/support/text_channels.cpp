#include "support/text_channels.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/host_clipboard.h"

namespace {

constexpr char kSentinel[] = "the person's own copy";
// Room for the longest list a test delivers (a megabyte and more).
constexpr int kBufferSize = 1 << 21;

// A host's text argument in the channel's width: null stays null.
class Argument {
public:
    explicit Argument(const char* ansi) : null_(ansi == nullptr), wide_(ansi ? WideOf(ansi) : L"") {}
    const wchar_t* wide() const { return null_ ? nullptr : wide_.c_str(); }

private:
    bool null_;
    std::wstring wide_;
};

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
        return {result, AnsiOf(text)};
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
            return w.getNumberStrBufW(Argument(firstText).wide(), Argument(secondText).wide(),
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
            return w.getPartsNameListBufW(Argument(text).wide(), Argument(inputText).wide(), limit,
                                          buffer, size, needed);
        });
    }
    return {};
}

std::wstring WideOf(const std::string& ansi) {
    const int length = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()),
                                           nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), wide.data(), length);
    return wide;
}

std::string AnsiOf(const std::wstring& wide) {
    const int size = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string ansi(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), ansi.data(), size,
                        nullptr, nullptr);
    return ansi;
}
