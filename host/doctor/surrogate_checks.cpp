#include "doctor/surrogate_checks.h"

#include <windows.h>

#include <cstdio>

#include "doctor/findings.h"
#include "doctor/image_machine.h"
#include "doctor/system_message.h"
#include "wide_text.h"

namespace {

constexpr char kIsolationCause[] =
    "components the host asks to run isolated (Nolv_Lib_SetIsolation) cannot start: their loads "
    "return 0";
constexpr char kReinstall[] =
    "install it from the release package beside Nolv_Lib_Wrapper.dll (bin/)";
// Started with no component to run, the program ends at once with this.
constexpr DWORD kNoComponentExit = static_cast<DWORD>(E_INVALIDARG);
constexpr DWORD kStartWait = 30000;

// Starts the program with no arguments and reads how it ended.
Check StartCheck(const std::string& subject, const std::wstring& program) {
    std::wstring commandLine = L"\"" + program + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &started)) {
        const DWORD error = GetLastError();
        return Failed(subject,
                      "does not start: error " + std::to_string(error) + " (" +
                          SystemMessage(error) + ")",
                      kIsolationCause, kReinstall);
    }
    DWORD exitCode = STILL_ACTIVE;
    if (WaitForSingleObject(started.hProcess, kStartWait) == WAIT_OBJECT_0)
        GetExitCodeProcess(started.hProcess, &exitCode);
    else
        TerminateProcess(started.hProcess, 1);
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
    char code[16];
    std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(exitCode));
    if (exitCode == kNoComponentExit)
        return Passed(subject, "starts (and ends at once without a component to run)");
    return Failed(subject, std::string("started but ended with ") + code + ", not as it should",
                  kIsolationCause, kReinstall);
}

void CheckProgram(std::vector<Check>& checks, const std::wstring& directory, const wchar_t* name,
                  WORD machine) {
    const std::wstring program = directory + name;
    const std::string subject = Utf8(name);
    const std::optional<WORD> found = ImageMachine(program);
    if (!found) {
        checks.push_back(Failed(subject, Utf8(program) + ": no such program", kIsolationCause,
                                kReinstall));
        return;
    }
    if (*found != machine) {
        checks.push_back(MachineCheck(subject, Utf8(program), *found, machine,
                                      kReinstall, "the library"));
        return;
    }
    checks.push_back(StartCheck(subject, program));
}

}  // namespace

std::vector<Check> SurrogateChecks(const std::wstring& libraryPath) {
    const std::wstring directory = libraryPath.substr(0, libraryPath.find_last_of(L"\\/") + 1);
    std::vector<Check> checks;
    CheckProgram(checks, directory, L"nolvsurrogate.exe", ProcessMachine());
#ifdef _WIN64
    CheckProgram(checks, directory, L"nolvsurrogate32.exe", IMAGE_FILE_MACHINE_I386);
#endif
    return checks;
}
