// nolvhost's reading of commands and its report format: what a session is
// made of, and how texts appear on the lines a script parses.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "command_line.h"
#include "exit_status.h"
#include "output_format.h"
#include "script_reading.h"

namespace {

bool IsLeadByteIn932(unsigned char byte) { return IsDBCSLeadByteEx(932, byte) != FALSE; }
bool IsLeadByteIn1252(unsigned char byte) { return IsDBCSLeadByteEx(1252, byte) != FALSE; }

const TextForm kReadable = {false, 1252};
const TextForm kBytes = {true, 1252};

std::string EchoLines(const std::vector<Command>& commands, const TextForm& form = kReadable) {
    std::string lines;
    for (const Command& command : commands) lines += EchoLine(command, form) + '\n';
    return lines;
}

// The message of the error the call is to end in, a wrong invocation.
template <class Call>
std::string WrongInvocationMessage(Call call) {
    try {
        call();
    } catch (const SessionError& error) {
        EXPECT_EQ(error.status(), ExitStatus::WrongInvocation);
        return error.what();
    }
    ADD_FAILURE() << "accepted";
    return {};
}

}  // namespace

TEST(NolvhostOutput, QuotesBytesSoThatEveryByteIsVisibleAndUnambiguous) {
    const struct {
        std::string bytes;
        const char* quoted;
    } cases[] = {
        {"", "\"\""},
        {"NS-0003-0004-X", "\"NS-0003-0004-X\""},
        {"say \"hi\"", "\"say \\\"hi\\\"\""},
        {"Z:\\path\\x.ini", "\"Z:\\\\path\\\\x.ini\""},
        {"a\r\nb\t", "\"a\\x0D\\x0Ab\\x09\""},
        {std::string("a\0b", 3), "\"a\\x00b\""},
        {" ~\x7F", "\" ~\\x7F\""},
        {"\x95\x5C\x8E\xA6", "\"\\x95\\\\\\x8E\\xA6\""},  // CP932 trail byte 0x5C
        {"\xFF\x80", "\"\\xFF\\x80\""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.quoted);
        EXPECT_EQ(QuoteBytes(c.bytes), c.quoted);
    }
}

// What a person reads: each text in its own encoding, shown as UTF-8; what
// is no character stays visible as an escape.
TEST(NolvhostOutput, WritesTextsReadablyInTheirOwnEncoding) {
    const struct {
        std::string bytes;
        UINT codePage;
        const char* shown;
    } ansi[] = {
        {"\x95\x5C\x8E\xA6-0001-0002-\x94\x5C\x97\xCD", 932, "\"表示-0001-0002-能力\""},
        {"\x83{\x83\x8B\x83g,\x8D\xC0\x8B\xE0", 932, "\"ボルト,座金\""},
        // A lead byte with no trail byte after it, or one that does not fit.
        {"\x95 \x95", 932, "\"\\x95 \\x95\""},
        {"caf\xE9 \"Z:\\p\"", 1252, "\"café \\\"Z:\\\\p\\\"\""},
        {"a\r\n\x81\x7F", 1252, "\"a\\x0D\\x0A\\x81\\x7F\""},
    };
    for (const auto& c : ansi) {
        SCOPED_TRACE(c.shown);
        EXPECT_EQ(QuoteAnsi(c.bytes, c.codePage), c.shown);
    }
    EXPECT_EQ(QuoteWide(L"Ωμέγα \xD83D\xDE00\t\xDC00\\"), "\"Ωμέγα 😀\\u0009\\uDC00\\\\\"");
    EXPECT_EQ(FormatWideText(std::wstring(L"Ω"), kBytes), "\"\\xCE\\xA9\"");
    EXPECT_EQ(FormatText(std::string("\xE9"), kBytes), "\"\\xE9\"");
}

TEST(NolvhostOutput, TellsNullAndNoTextApartFromEmptyText) {
    EXPECT_EQ(FormatText(std::nullopt, kReadable), "null");
    EXPECT_EQ(FormatWideText(std::nullopt, kReadable), "null");
    EXPECT_EQ(FormatText(std::string("null"), kReadable), "\"null\"");
    EXPECT_EQ(FormatText(std::string(), kReadable), "\"\"");
    EXPECT_EQ(FormatClipboard(std::nullopt, kReadable), "none");
    EXPECT_EQ(FormatClipboard(std::string(), kReadable), "\"\"");
    EXPECT_EQ(ResultLine({{"result", "7"},
                          {"clipboard", FormatClipboard(std::string("a b"), kReadable)}}),
              "  result=7 clipboard=\"a b\"");
}

TEST(NolvhostOutput, WritesTheLibrarysReasonAsTheRestOfTheLine) {
    const std::wstring line = L"F: the file \"C:\\no\\Ω.ini\" cannot be read\x1B";
    EXPECT_EQ(FailureLine(DISP_E_EXCEPTION, line, kReadable),
              "  failure=0x80020009 F: the file \"C:\\no\\Ω.ini\" cannot be read\\u001B");
    EXPECT_EQ(FailureLine(E_FAIL, line, kBytes),
              "  failure=0x80004005 \"F: the file \\\"C:\\\\no\\\\\\xCE\\xA9.ini\\\" cannot be "
              "read\\x1B\"");
}

TEST(NolvhostCommandLine, ReadsEachCommandWithItsArguments) {
    const struct {
        std::vector<Word> words;
        const char* echo;
    } cases[] = {
        {{}, ""},
        {{"load-nolv", "load-sivat", "free"}, "> load-nolv\n> load-sivat\n> free\n"},
        {{"number-string", "NS", "X", "3", "4"}, "> number-string \"NS\" \"X\" 3 4\n"},
        {{"number-string", "--null", "", "-2147483648", "2147483647"},
         "> number-string null \"\" -2147483648 2147483647\n"},
        {{"parts-list", "", "10"}, "> parts-list \"\" 10\n"},
        {{"parts-list", "", "-1", "--clipboard", "bolt,nut"},
         "> parts-list \"\" -1 --clipboard \"bolt,nut\"\n"},
        {{"parts-list", "a", "0", "--clipboard", "--null", "free"},
         "> parts-list \"a\" 0 --clipboard null\n> free\n"},
        // Texts are positional: a command name or an option there is a text.
        {{"mode", "free", "mode", "--clipboard"}, "> mode \"free\"\n> mode \"--clipboard\"\n"},
        {{"set-settings", "Z:\\p\\s.ini", "set-settings", "--null"},
         "> set-settings \"Z:\\\\p\\\\s.ini\"\n> set-settings null\n"},
        {{"about", "sivat-about", "edit-settings", "wrapper-about"},
         "> about\n> sivat-about\n> edit-settings\n> wrapper-about\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.echo);
        EXPECT_EQ(EchoLines(ParseCommands(c.words, nullptr)), c.echo);
    }
}

// Typed words are UTF-16: a W function gets them as they are, an ANSI one
// in the ANSI code page, as a host converts them. A script's W texts are
// UTF-8, its other texts the ANSI code page's bytes.
TEST(NolvhostCommandLine, PassesEachTextInTheFormItsFunctionTakes) {
    const std::vector<Command> typed = ParseCommands(
        {L"number-string-bufw", L"Ωμέγα", L"日本\xD800", L"3", L"4", L"64", L"mode", L"表示",
         L"parts-list", L"", L"0", L"--clipboard", L"能力", L"mode-w", L"--null"},
        nullptr);
    EXPECT_EQ(typed[0].wideText(0), L"Ωμέγα");
    EXPECT_EQ(typed[0].wideText(1), L"日本\xD800");
    const bool in932 = GetACP() == 932;
    EXPECT_EQ(typed[1].text(0), in932 ? "\x95\x5C\x8E\xA6" : "??");
    EXPECT_EQ(typed[2].clipboardInput->text, in932 ? "\x94\x5C\x97\xCD" : "??");
    EXPECT_FALSE(typed[3].wideText(0));
    EXPECT_EQ(EchoLines(typed, {false, GetACP()}),
              std::string("> number-string-bufw \"Ωμέγα\" \"日本\\uD800\" 3 4 64\n> mode ") +
                  (in932 ? "\"表示\"\n> parts-list \"\" 0 --clipboard \"能力\"\n"
                         : "\"??\"\n> parts-list \"\" 0 --clipboard \"??\"\n") +
                  "> mode-w null\n");

    const std::vector<Command> scripted =
        ParseScript("mode-w \"Ωμέγα\" mode \"\x95\x5C\"\n", IsLeadByteIn932);
    EXPECT_EQ(scripted[0].wideText(0), L"Ωμέγα");
    EXPECT_EQ(scripted[1].text(0), "\x95\x5C");
}

TEST(NolvhostCommandLine, RefusesWordsThatDoNotFitNamingTheFirstOne) {
    const struct {
        std::vector<Word> words;
        const char* named;
    } cases[] = {
        {{"load"}, "unknown command \"load\""},
        {{"free", "Free"}, "unknown command \"Free\""},
        {{"-"}, "unknown command \"-\""},
        {{"load-nolv", "doctor"}, "doctor runs on its own"},
        {{"mode"}, "mode: TEXT missing"},
        {{"number-string", "a", "b", "1"}, "number-string: INT2 missing"},
        {{"number-string", "a", "b", "x", "1"}, "INT1 must be a decimal integer"},
        {{"number-string", "a", "b", "1", "4x"}, "not \"4x\""},
        {{"number-string", "a", "b", "", "1"}, "not \"\""},
        {{"number-string", "a", "b", " 1", "1"}, "not \" 1\""},
        {{"number-string", "a", "b", "+1", "1"}, "not \"+1\""},
        {{"number-string", "a", "b", "0x10", "1"}, "not \"0x10\""},
        {{"number-string", "a", "b", "2147483648", "1"}, "not \"2147483648\""},
        {{"parts-list", "a", "-2147483649"}, "LIMIT must be a decimal integer"},
        {{"parts-list", "a", "1", "--clipboard"}, "parts-list: --clipboard needs a TEXT"},
        {{"mode", "a", "--clipboard", "x"}, "option \"--clipboard\" out of place"},
        {{"parts-list", "a", "1", "--clipboard", "x", "--clipboard", "y"},
         "option \"--clipboard\" out of place"},
        {{"free", "--null"}, "option \"--null\" out of place"},
        {{"load-nolv", "--bytes"}, "--bytes goes before the first command"},
        {{L"load-nolv", L"ｌoad-sivat"}, "unknown command \"ｌoad-sivat\""},  // a fullwidth ｌ
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.named);
        const std::string message = WrongInvocationMessage([&] { ParseCommands(c.words, nullptr); });
        EXPECT_NE(message.find(c.named), std::string::npos) << message;
    }
}

TEST(NolvhostCommandLine, TakesStandardInputOnceAsClipboardInput) {
    int reads = 0;
    const StandardInputReader reader = [&reads] {
        ++reads;
        return std::string("bolt,\xE7\x5C\r\n");
    };
    const std::vector<Command> commands =
        ParseCommands({"parts-list", "", "10", "--clipboard-stdin", "free"}, reader);
    EXPECT_EQ(reads, 1);
    EXPECT_EQ(EchoLines(commands, kBytes),
              "> parts-list \"\" 10 --clipboard \"bolt,\\xE7\\\\\\x0D\\x0A\"\n> free\n");

    const std::vector<Word> twice = {"parts-list", "", "1", "--clipboard-stdin",
                                     "parts-list", "", "1", "--clipboard-stdin"};
    EXPECT_NE(WrongInvocationMessage([&] { ParseCommands(twice, reader); }).find("given twice"),
              std::string::npos);
    EXPECT_EQ(reads, 2);
    const std::vector<Word> once = {"parts-list", "", "1", "--clipboard-stdin"};
    EXPECT_NE(WrongInvocationMessage([&] { ParseCommands(once, nullptr); }).find("holds the script"),
              std::string::npos);
}

TEST(NolvhostScript, SplitsLinesIntoWordsAsAShellDoes) {
    using Words = std::vector<std::string>;
    const struct {
        const char* line;
        LeadBytePredicate isLeadByte;
        Words words;
    } cases[] = {
        {"", IsLeadByteIn932, {}},
        {"  \t ", IsLeadByteIn932, {}},
        {"load-nolv  free\t", IsLeadByteIn932, {"load-nolv", "free"}},
        {"mode \"a b\" \"\" ''", IsLeadByteIn932, {"mode", "a b", "", ""}},
        {"\"a\"b'c'\\ d", IsLeadByteIn932, {"abc d"}},
        {"\"say \\\"hi\\\" \\\\ \\n\"", IsLeadByteIn932, {"say \"hi\" \\ \\n"}},
        {"set-settings 'Z:\\p\\s.ini' Z:\\\\p Z:\\p", IsLeadByteIn932,
         {"set-settings", "Z:\\p\\s.ini", "Z:\\p", "Z:p"}},
        {"'\"' \"'\"", IsLeadByteIn932, {"\"", "'"}},
        {"free # mode x", IsLeadByteIn932, {"free"}},
        {"# free", IsLeadByteIn932, {}},
        {"a#b \"#\"", IsLeadByteIn932, {"a#b", "#"}},
        // A double-byte character whose trail byte is 0x5C escapes nothing...
        {"mode \"\x95\x5C\" \x95\x5C \"x\"", IsLeadByteIn932, {"mode", "\x95\x5C", "\x95\x5C", "x"}},
        {"mode \"\x83\x5C\\\"\"", IsLeadByteIn932, {"mode", "\x83\x5C\""}},
        // ...but in 1252 that byte is a backslash.
        {"\x95\x5C x", IsLeadByteIn1252, {"\x95 x"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(SplitScriptLine(c.line, c.isLeadByte), c.words);
    }
}

TEST(NolvhostScript, RefusesLinesThatEndInsideAQuoteOrAnEscape) {
    const struct {
        const char* line;
        LeadBytePredicate isLeadByte;
        const char* error;
    } cases[] = {
        {"mode \"open", IsLeadByteIn932, "a double quote is not closed"},
        {"mode 'open", IsLeadByteIn932, "a single quote is not closed"},
        {"mode x\\", IsLeadByteIn932, "the line ends with a backslash"},
        {"mode \"\x95\x5C\"", IsLeadByteIn1252, "a double quote is not closed"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(WrongInvocationMessage([&] { SplitScriptLine(c.line, c.isLeadByte); }), c.error);
    }
}

TEST(NolvhostScript, ReadsEveryLineAndNamesTheLineOfAnError) {
    const std::vector<Command> commands = ParseScript(
        "# a session\r\nload-nolv load-sivat\r\n\r\nnumber-string NS X 3 4\nmode \"\"\n",
        IsLeadByteIn932);
    EXPECT_EQ(EchoLines(commands),
              "> load-nolv\n> load-sivat\n> number-string \"NS\" \"X\" 3 4\n> mode \"\"\n");

    const struct {
        const char* script;
        const char* error;
    } wrong[] = {
        {"free\nnumber-string a b 1\n2\n", "line 2: number-string: INT2 missing"},
        {"free\r\n\r\nmode \"x\r\n", "line 3: a double quote is not closed"},
        {"parts-list a 1 --clipboard-stdin", "line 1: --clipboard-stdin: standard input"},
    };
    for (const auto& c : wrong) {
        SCOPED_TRACE(c.script);
        const std::string message =
            WrongInvocationMessage([&] { ParseScript(c.script, IsLeadByteIn932); });
        EXPECT_EQ(message.rfind(c.error, 0), 0u) << message;
    }
}
