#include "output_format.h"

namespace {

std::string FormatArgument(const Argument& argument) {
    if (const Text* text = std::get_if<Text>(&argument)) return FormatText(*text);
    return std::to_string(std::get<int>(argument));
}

}  // namespace

std::string QuoteBytes(const std::string& bytes) {
    static const char hexDigits[] = "0123456789ABCDEF";
    std::string quoted = "\"";
    for (const char c : bytes) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += c;
        } else if (byte >= 0x20 && byte < 0x7F) {
            quoted += c;
        } else {
            quoted += "\\x";
            quoted += hexDigits[byte >> 4];
            quoted += hexDigits[byte & 0xF];
        }
    }
    return quoted + '"';
}

std::string FormatText(const Text& text) { return text ? QuoteBytes(*text) : "null"; }

std::string FormatClipboard(const std::optional<std::string>& text) {
    return text ? QuoteBytes(*text) : "none";
}

std::string EchoLine(const Command& command) {
    std::string line = std::string("> ") + command.form->name;
    for (const Argument& argument : command.arguments) line += ' ' + FormatArgument(argument);
    if (command.clipboardInput) line += " --clipboard " + FormatText(command.clipboardInput->text);
    return line;
}

std::string ResultLine(const std::vector<ResultField>& fields) {
    std::string line = " ";
    for (const ResultField& field : fields) line += std::string(" ") + field.key + '=' + field.value;
    return line;
}
