// nolvhost: a console host that drives every function of
// Nolv_Lib_Wrapper.dll from the command line or a script, in one session.
#include <windows.h>

#include <iostream>
#include <string>
#include <vector>

#include "doctor/doctor.h"
#include "exit_status.h"
#include "script_reading.h"
#include "session.h"
#include "standard_input.h"
#include "surrogate_setup.h"
#include "usage.h"
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

std::vector<Command> SessionCommands(const std::vector<std::string>& words) {
    if (words.empty()) throw SessionError(ExitStatus::WrongInvocation, "no command given");
    if (words.size() == 1 && words[0] == "-")
        return ParseScript(ReadStandardInput(), IsAnsiLeadByte);
    return ParseCommands(words, ReadStandardInput);
}

}  // namespace

int main(int argc, char** argv) {
    // The C runtime's narrow arguments are the ANSI code page's bytes,
    // which is what the library's functions take.
    const std::vector<std::string> words(argv + 1, argv + argc);
    if (words.size() == 1 && (words[0] == "--help" || words[0] == "-h")) {
        std::cout << UsageText();
        return 0;
    }
    try {
        if (!words.empty() && words[0] == "doctor")
            return static_cast<int>(
                RunDoctor(ParseDoctorOptions({words.begin() + 1, words.end()}), std::cout));
        if (!words.empty() && words[0] == "surrogate")
            return static_cast<int>(
                ChangeSurrogate(ParseSurrogateAction({words.begin() + 1, words.end()}), std::cout));
        const std::vector<Command> commands = SessionCommands(words);
        RunSession(commands, LoadWrapperBesideProgram(), std::cout);
        return static_cast<int>(ExitStatus::SessionRun);
    } catch (const SessionError& error) {
        std::cout.flush();
        std::cerr << "nolvhost: " << error.what() << '\n';
        if (error.status() == ExitStatus::WrongInvocation) std::cerr << '\n' << UsageText();
        return static_cast<int>(error.status());
    }
}
