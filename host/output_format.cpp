#include "output_format.h"

#include <algorithm>

#include "wide_text.h"

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

void AppendHex(std::string& out, const char* prefix, unsigned value, int digits) {
    out += prefix;
    for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) out += kHexDigits[(value >> shift) & 0xF];
}

bool IsControl(wchar_t c) { return c < 0x20 || (c >= 0x7F && c < 0xA0); }

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | c >> 6);
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | c >> 12);
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | c >> 18);
        out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// UTF-16 as UTF-8 for a person; inside quotes, " and \ are escaped too.
std::string Readable(const std::wstring& text, bool quoted) {
    std::string out;
    for (std::size_t at = 0; at < text.size(); ++at) {
        const wchar_t c = text[at];
        if (quoted && (c == L'"' || c == L'\\')) {
            out += '\\';
            out += static_cast<char>(c);
        } else if (IS_HIGH_SURROGATE(c) && at + 1 < text.size() && IS_LOW_SURROGATE(text[at + 1])) {
            AppendUtf8(out, 0x10000 + ((c - 0xD800) << 10) + (text[++at] - 0xDC00));
        } else if (IsControl(c) || IS_HIGH_SURROGATE(c) || IS_LOW_SURROGATE(c)) {
            AppendHex(out, "\\u", c, 4);
        } else {
            AppendUtf8(out, c);
        }
    }
    return out;
}

// How many bytes the character at bytes[at] takes in the code page, at
// most those that are left.
std::size_t CharacterLength(const std::string& bytes, std::size_t at, UINT codePage) {
    const unsigned char lead = static_cast<unsigned char>(bytes[at]);
    std::size_t length = 1;
    if (codePage == CP_UTF8)
        length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    else if (IsDBCSLeadByteEx(codePage, lead))
        length = 2;
    return std::min(length, bytes.size() - at);
}

std::string FormatArgument(const Argument& argument, const TextForm& form) {
    if (const Text* text = std::get_if<Text>(&argument)) return FormatText(*text, form);
    if (const WideText* text = std::get_if<WideText>(&argument)) return FormatWideText(*text, form);
    return std::to_string(std::get<int>(argument));
}

}  // namespace

std::string QuoteBytes(const std::string& bytes) {
    std::string quoted = "\"";
    for (const char c : bytes) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += c;
        } else if (byte >= 0x20 && byte < 0x7F) {
            quoted += c;
        } else {
            AppendHex(quoted, "\\x", byte, 2);
        }
    }
    return quoted + '"';
}

std::string QuoteAnsi(const std::string& bytes, UINT codePage) {
    if (codePage == CP_ACP) codePage = GetACP();
    std::string quoted = "\"";
    for (std::size_t at = 0; at < bytes.size();) {
        const std::size_t length = CharacterLength(bytes, at, codePage);
        wchar_t character[2];
        const int units = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data() + at,
                                              static_cast<int>(length), character, 2);
        if (units == 0) {  // not a character: the first byte, and on from the next
            AppendHex(quoted, "\\x", static_cast<unsigned char>(bytes[at++]), 2);
            continue;
        }
        if (units == 1 && IsControl(character[0]))
            for (std::size_t byte = at; byte < at + length; ++byte)
                AppendHex(quoted, "\\x", static_cast<unsigned char>(bytes[byte]), 2);
        else
            quoted += Readable(std::wstring(character, units), true);
        at += length;
    }
    return quoted + '"';
}

std::string QuoteWide(const std::wstring& text) { return '"' + Readable(text, true) + '"'; }

std::string FormatText(const Text& text, const TextForm& form) {
    if (!text) return "null";
    return form.bytes ? QuoteBytes(*text) : QuoteAnsi(*text, form.ansiCodePage);
}

std::string FormatWideText(const WideText& text, const TextForm& form) {
    if (!text) return "null";
    return form.bytes ? QuoteBytes(Utf8(*text)) : QuoteWide(*text);
}

std::string FormatClipboard(const std::optional<std::string>& text, const TextForm& form) {
    return text ? FormatText(text, form) : "none";
}

std::string EchoLine(const Command& command, const TextForm& form) {
    std::string line = std::string("> ") + command.form->name;
    for (const Argument& argument : command.arguments) line += ' ' + FormatArgument(argument, form);
    if (command.clipboardInput)
        line += " --clipboard " + FormatText(command.clipboardInput->text, form);
    return line;
}

std::string ResultLine(const std::vector<ResultField>& fields) {
    std::string line = " ";
    for (const ResultField& field : fields) line += std::string(" ") + field.key + '=' + field.value;
    return line;
}

std::string FailureLine(HRESULT status, const std::wstring& line, const TextForm& form) {
    std::string failure = "  failure=";
    AppendHex(failure, "0x", static_cast<unsigned>(status), 8);
    return failure + ' ' + (form.bytes ? QuoteBytes(Utf8(line)) : Readable(line, false));
}
