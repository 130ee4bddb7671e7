// nolvhost: a console host that drives every function of
// Nolv_Lib_Wrapper.dll from the command line or a script, in one session.
#include <windows.h>

#include <iostream>
#include <string>
#include <vector>

#include "console_output.h"
#include "doctor/doctor.h"
#include "exit_status.h"
#include "script_reading.h"
#include "session.h"
#include "standard_input.h"
#include "surrogate_setup.h"
#include "usage.h"
#include "wide_text.h"
#include "wrapper_exports.h"

namespace {

[[noreturn]] void LibraryMissing(const std::string& message) {
    throw SessionError(ExitStatus::LibraryMissing, message);
}

// By full path, never from the search path. The DLL stays loaded until the
// process ends: the library may still hold components then.
WrapperExports LoadWrapperBesideProgram() {
    const HMODULE module = LoadLibraryW(BesideProgram(L"Nolv_Lib_Wrapper.dll").c_str());
    if (module == nullptr)
        LibraryMissing("cannot load Nolv_Lib_Wrapper.dll from this program's directory (error " +
                       std::to_string(GetLastError()) + ")");
    WrapperExports exports;
    if (const char* missing = ResolveWrapperExports(module, exports))
        LibraryMissing(std::string("Nolv_Lib_Wrapper.dll has no function ") + missing);
    return exports;
}

bool IsAnsiLeadByte(unsigned char byte) { return IsDBCSLeadByte(byte) != FALSE; }

std::vector<Command> SessionCommands(const std::vector<std::wstring>& words) {
    if (words.empty()) throw SessionError(ExitStatus::WrongInvocation, "no command given");
    if (words.size() == 1 && words[0] == L"-")
        return ParseScript(ReadStandardInput(), IsAnsiLeadByte);
    return ParseCommands({words.begin(), words.end()}, ReadStandardInput);
}

// The doctor's and the surrogate's words: paths and options, as UTF-8.
std::vector<std::string> Utf8Words(const std::vector<std::wstring>& words) {
    std::vector<std::string> utf8;
    for (const std::wstring& word : words) utf8.push_back(Utf8(word));
    return utf8;
}

ExitStatus Run(std::vector<std::wstring> words) {
    if (!words.empty() && words[0] == L"doctor")
        return RunDoctor(ParseDoctorOptions(Utf8Words({words.begin() + 1, words.end()})),
                         std::cout);
    if (!words.empty() && words[0] == L"surrogate")
        return ChangeSurrogate(ParseSurrogateAction(Utf8Words({words.begin() + 1, words.end()})),
                               std::cout);
    const bool bytes = !words.empty() && words[0] == L"--bytes";
    if (bytes) words.erase(words.begin());
    RunSession(SessionCommands(words), LoadWrapperBesideProgram(), {bytes, GetACP()}, std::cout);
    return ExitStatus::SessionRun;
}

}  // namespace

// The arguments in UTF-16, as typed: the W commands pass them on unchanged,
// the others convert them to the ANSI code page, as a host does.
extern "C" int wmain(int argc, wchar_t** argv) {
    const ConsoleOutput console;
    const std::vector<std::wstring> words(argv + 1, argv + argc);
    if (words.size() == 1 && (words[0] == L"--help" || words[0] == L"-h")) {
        std::cout << UsageText();
        return 0;
    }
    try {
        return static_cast<int>(Run(words));
    } catch (const SessionError& error) {
        std::cout.flush();
        std::cerr << "nolvhost: " << error.what() << '\n';
        if (error.status() == ExitStatus::WrongInvocation) std::cerr << '\n' << UsageText();
        return static_cast<int>(error.status());
    }
}
