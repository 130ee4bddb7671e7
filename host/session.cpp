#include "session.h"

#include <new>
#include <stdexcept>
#include <string>

#include "exit_status.h"
#include "session_clipboard.h"

namespace {

const char* TextPointer(const Text& text) { return text ? text->c_str() : nullptr; }
const wchar_t* TextPointer(const WideText& text) { return text ? text->c_str() : nullptr; }

// The largest buffer a command may ask for, in characters. The library
// takes any size; this host allocates the buffer it passes, and a size
// near 2^31 is more memory than a 32-bit process can have.
constexpr int kLargestBuffer = 1 << 26;

// A buffer of the size a command names, filled by the call; 0 or less
// passes a null buffer.
template <class Char>
class CallBuffer {
public:
    CallBuffer(int size, const TextForm& form) : size_(size), chars_(Allocated(size)), form_(form) {}
    Char* data() { return chars_.empty() ? nullptr : chars_.data(); }
    int size() const { return size_; }
    int* needed() { return &needed_; }

    std::vector<ResultField> Fields() const {
        return {{"buffer", chars_.empty() ? "none" : Format(chars_.data())},
                {"needed", std::to_string(needed_)}};
    }

private:
    static std::vector<Char> Allocated(int size) {
        if (size > kLargestBuffer)
            throw SessionError(ExitStatus::HostFailed,
                               "a buffer of " + std::to_string(size) +
                                   " characters is more than nolvhost allocates (at most " +
                                   std::to_string(kLargestBuffer) + ")");
        try {
            return std::vector<Char>(size > 0 ? size : 0);
        } catch (const std::bad_alloc&) {
            throw SessionError(ExitStatus::HostFailed, "no memory for a buffer of " +
                                                           std::to_string(size) + " characters");
        }
    }

    std::string Format(const char* text) const { return FormatText(std::string(text), form_); }
    std::string Format(const wchar_t* text) const {
        return FormatWideText(std::wstring(text), form_);
    }

    int size_;
    std::vector<Char> chars_;
    TextForm form_;
    int needed_ = -1;
};

std::vector<ResultField> Joined(std::vector<ResultField> fields, std::vector<ResultField> more) {
    fields.insert(fields.end(), more.begin(), more.end());
    return fields;
}

ResultField Result(int value) { return {"result", std::to_string(value)}; }
ResultField NoResult() { return {"result", "none"}; }
ResultField ClipboardAfterCall(const TextForm& form) {
    return {"clipboard", FormatClipboard(ClipboardText(), form)};
}

std::vector<ResultField> NumberStringIntoBuffer(const Command& command,
                                                const WrapperExports& wrapper,
                                                const TextForm& form) {
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
        CallBuffer<char> buffer(command.integer(4), form);
        return call(buffer, wrapper.getNumberStrBuf, TextPointer(command.text(0)),
                    TextPointer(command.text(1)));
    }
    CallBuffer<wchar_t> buffer(command.integer(4), form);
    return call(buffer, wrapper.getNumberStrBufW, TextPointer(command.wideText(0)),
                TextPointer(command.wideText(1)));
}

std::vector<ResultField> Call(const Command& command, const WrapperExports& wrapper,
                              const TextForm& form) {
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
                {"second", std::to_string(second)}, ClipboardAfterCall(form)};
    }
    case Operation::PartsList: {
        if (command.clipboardInput) PutClipboardText(command.clipboardInput->text);
        const int result =
            wrapper.getPartsNameListRZClip(TextPointer(command.text(0)), command.integer(1));
        return {Result(result), ClipboardAfterCall(form)};
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
        return NumberStringIntoBuffer(command, wrapper, form);
    case Operation::PartsListBuffer: {
        CallBuffer<char> buffer(command.integer(3), form);
        const int result = wrapper.getPartsNameListBuf(
            TextPointer(command.text(0)), TextPointer(command.text(1)), command.integer(2),
            buffer.data(), buffer.size(), buffer.needed());
        return Joined({Result(result)}, buffer.Fields());
    }
    case Operation::PartsListBufferW: {
        CallBuffer<wchar_t> buffer(command.integer(3), form);
        const int result = wrapper.getPartsNameListBufW(
            TextPointer(command.wideText(0)), TextPointer(command.wideText(1)),
            command.integer(2), buffer.data(), buffer.size(), buffer.needed());
        return Joined({Result(result)}, buffer.Fields());
    }
    case Operation::ModeW:
        return {Result(wrapper.GetSivatModeW(TextPointer(command.wideText(0))))};
    case Operation::SetSettingsW:
        wrapper.setSettingDataFileNameW(TextPointer(command.wideText(0)));
        return {NoResult()};
    case Operation::Isolate:
        return {Result(wrapper.SetIsolation(command.integer(0), command.integer(1)))};
    }
    throw std::logic_error("a command with no call");
}

}  // namespace

void RunSession(const std::vector<Command>& commands, const WrapperExports& wrapper,
                const TextForm& form, std::ostream& out) {
    for (const Command& command : commands) {
        out << EchoLine(command, form) << std::endl;
        out << ResultLine(Call(command, wrapper, form)) << std::endl;
        const LastFailure failure = ReadLastFailure(wrapper);
        if (failure.status != S_OK) out << FailureLine(failure.status, failure.line, form) << std::endl;
    }
}
