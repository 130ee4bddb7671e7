#include "session.h"

#include <stdexcept>
#include <string>

#include "output_format.h"
#include "session_clipboard.h"

namespace {

const char* TextPointer(const Text& text) { return text ? text->c_str() : nullptr; }

ResultField Result(int value) { return {"result", std::to_string(value)}; }
ResultField NoResult() { return {"result", "none"}; }
ResultField ClipboardAfterCall() { return {"clipboard", FormatClipboard(ClipboardText())}; }

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
