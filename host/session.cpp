#include "session.h"

#include <stdexcept>
#include <string>

#include "output_format.h"
#include "session_clipboard.h"
#include "wide_text.h"

namespace {

const char* TextPointer(const Text& text) { return text ? text->c_str() : nullptr; }

// A text argument of a UTF-16 command: given as UTF-8, so that a script
// can carry any character.
WideArgument Utf8Argument(const Text& text) { return WideArgument(TextPointer(text), CP_UTF8); }

// A buffer of the size a command names, filled by the call; 0 or less
// passes a null buffer.
template <class Char>
class CallBuffer {
public:
    explicit CallBuffer(int size) : size_(size), chars_(size > 0 ? size : 0) {}
    Char* data() { return chars_.empty() ? nullptr : chars_.data(); }
    int size() const { return size_; }
    int* needed() { return &needed_; }

    std::vector<ResultField> Fields() const {
        return {{"buffer", chars_.empty() ? "none" : QuoteBytes(Text(chars_.data()))},
                {"needed", std::to_string(needed_)}};
    }

private:
    static std::string Text(const char* text) { return text; }
    static std::string Text(const wchar_t* text) { return BytesFromWide(text, CP_UTF8); }

    int size_;
    std::vector<Char> chars_;
    int needed_ = -1;
};

std::vector<ResultField> Joined(std::vector<ResultField> fields, std::vector<ResultField> more) {
    fields.insert(fields.end(), more.begin(), more.end());
    return fields;
}

ResultField Result(int value) { return {"result", std::to_string(value)}; }
ResultField NoResult() { return {"result", "none"}; }
ResultField ClipboardAfterCall() { return {"clipboard", FormatClipboard(ClipboardText())}; }

std::vector<ResultField> NumberStringIntoBuffer(const Command& command,
                                                const WrapperExports& wrapper) {
    int first = command.integer(2);
    int second = command.integer(3);
    auto call = [&](auto& buffer, auto function, auto firstText, auto secondText) {
        const int result = function(firstText, secondText, &first, &second, buffer.data(),
                                    buffer.size(), buffer.needed());
        return Joined({Result(result), {"first", std::to_string(first)},
                       {"second", std::to_string(second)}},
                      buffer.Fields());
    };
    if (command.form->operation == Operation::NumberStringBuffer) {
        CallBuffer<char> buffer(command.integer(4));
        return call(buffer, wrapper.getNumberStrBuf, TextPointer(command.text(0)),
                    TextPointer(command.text(1)));
    }
    CallBuffer<wchar_t> buffer(command.integer(4));
    return call(buffer, wrapper.getNumberStrBufW, Utf8Argument(command.text(0)).get(),
                Utf8Argument(command.text(1)).get());
}

std::vector<ResultField> Call(const Command& command, const WrapperExports& wrapper) {
    switch (command.form->operation) {
    case Operation::LoadNolv:
        return {Result(wrapper.LoadNolvSys())};
    case Operation::LoadSivat:
        return {Result(wrapper.LoadSivatSys())};
    case Operation::Free:
        wrapper.FreeNolvSys();
        return {NoResult()};
    case Operation::NumberString: {
        int first = command.integer(2);
        int second = command.integer(3);
        const int result = wrapper.getNumberStrRZ(TextPointer(command.text(0)),
                                                  TextPointer(command.text(1)), &first, &second);
        return {Result(result), {"first", std::to_string(first)},
                {"second", std::to_string(second)}, ClipboardAfterCall()};
    }
    case Operation::PartsList: {
        if (command.clipboardInput) PutClipboardText(command.clipboardInput->text);
        const int result =
            wrapper.getPartsNameListRZClip(TextPointer(command.text(0)), command.integer(1));
        return {Result(result), ClipboardAfterCall()};
    }
    case Operation::Mode:
        return {Result(wrapper.GetSivatMode(TextPointer(command.text(0))))};
    case Operation::About:
        wrapper.AboutBox();
        return {NoResult()};
    case Operation::SivatAbout:
        wrapper.SivatAboutBox();
        return {NoResult()};
    case Operation::EditSettings:
        wrapper.editSettingData();
        return {NoResult()};
    case Operation::SetSettings:
        wrapper.setSettingDataFileName(TextPointer(command.text(0)));
        return {NoResult()};
    case Operation::WrapperAbout:
        wrapper.WrapperAboutBox();
        return {NoResult()};
    case Operation::NumberStringBuffer:
    case Operation::NumberStringBufferW:
        return NumberStringIntoBuffer(command, wrapper);
    case Operation::PartsListBuffer: {
        CallBuffer<char> buffer(command.integer(3));
        const int result = wrapper.getPartsNameListBuf(
            TextPointer(command.text(0)), TextPointer(command.text(1)), command.integer(2),
            buffer.data(), buffer.size(), buffer.needed());
        return Joined({Result(result)}, buffer.Fields());
    }
    case Operation::PartsListBufferW: {
        CallBuffer<wchar_t> buffer(command.integer(3));
        const int result = wrapper.getPartsNameListBufW(
            Utf8Argument(command.text(0)).get(), Utf8Argument(command.text(1)).get(),
            command.integer(2), buffer.data(), buffer.size(), buffer.needed());
        return Joined({Result(result)}, buffer.Fields());
    }
    case Operation::ModeW:
        return {Result(wrapper.GetSivatModeW(Utf8Argument(command.text(0)).get()))};
    case Operation::SetSettingsW:
        wrapper.setSettingDataFileNameW(Utf8Argument(command.text(0)).get());
        return {NoResult()};
    }
    throw std::logic_error("a command with no call");
}

}  // namespace

void RunSession(const std::vector<Command>& commands, const WrapperExports& wrapper,
                std::ostream& out) {
    for (const Command& command : commands) {
        out << EchoLine(command) << std::endl;
        out << ResultLine(Call(command, wrapper)) << std::endl;
    }
}
