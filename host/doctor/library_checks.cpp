#include "doctor/library_checks.h"

#include <windows.h>

#include <memory>

#include "doctor/findings.h"
#include "doctor/image_machine.h"
#include "doctor/system_message.h"
#include "wide_text.h"
#include "wrapper_exports.h"

namespace {

constexpr char kReinstall[] = "reinstall Nolv_Lib_Wrapper.dll from the release package";

struct LibraryFreer {
    void operator()(HMODULE module) const { FreeLibrary(module); }
};

Check ExportsCheck(const std::wstring& path) {
    const std::unique_ptr<std::remove_pointer_t<HMODULE>, LibraryFreer> module(
        LoadLibraryW(path.c_str()));
    if (!module) {
        const DWORD error = GetLastError();
        return Failed(
            "library exports",
            "cannot be loaded: error " + std::to_string(error) + " (" + SystemMessage(error) + ")",
            "Windows refuses to load the DLL, so no host can call it",
            kReinstall);
    }
    const std::vector<std::string> missing = MissingWrapperExports(module.get());
    if (missing.empty())
        return Passed("library exports", "all eleven functions, the six buffer and UTF-16 ones, "
                                         "the two that read the last failure and the isolation "
                                         "setting");
    std::string names;
    for (const std::string& name : missing) names += (names.empty() ? "" : ", ") + name;
    return Failed(
        "library exports", "missing: " + names,
        "this DLL is not Nolv_Lib_Wrapper.dll, or a damaged copy: a host finds no such function",
        kReinstall);
}

Check VersionCheck(const std::wstring& path) {
    DWORD ignored = 0;
    std::string info(GetFileVersionInfoSizeW(path.c_str(), &ignored), '\0');
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (info.empty() ||
        !GetFileVersionInfoW(path.c_str(), 0, static_cast<DWORD>(info.size()), info.data()) ||
        !VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) ||
        length < sizeof *fixed)
        return Failed("library version", "no version resource",
                      "every build of Nolv_Lib_Wrapper.dll carries one: this file is another DLL",
                      kReinstall);
    return Passed("library version", std::to_string(HIWORD(fixed->dwFileVersionMS)) + '.' +
                                         std::to_string(LOWORD(fixed->dwFileVersionMS)) + '.' +
                                         std::to_string(HIWORD(fixed->dwFileVersionLS)) + '.' +
                                         std::to_string(LOWORD(fixed->dwFileVersionLS)));
}

}  // namespace

std::vector<Check> LibraryChecks(const std::wstring& path) {
    std::vector<Check> checks;
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        checks.push_back(
            Failed("library file", Utf8(path) + ": no such file",
                   "a host loads Nolv_Lib_Wrapper.dll from its own directory or the search path",
                   "install Nolv_Lib_Wrapper.dll beside the host program, or name its place with "
                   "nolvhost doctor --library PATH"));
        for (const char* later : {"library architecture", "library exports", "library version"})
            checks.push_back(NotChecked(later, "no library file"));
        return checks;
    }
    checks.push_back(Passed("library file", Utf8(path)));
    const std::optional<WORD> machine = ImageMachine(path);
    if (!machine) {
        checks.push_back(Failed("library architecture", "not an executable image",
                                Utf8(path) + " is no DLL",
                                kReinstall));
        for (const char* later : {"library exports", "library version"})
            checks.push_back(NotChecked(later, "not an executable image"));
        return checks;
    }
    checks.push_back(MachineCheck("library architecture", Utf8(path), *machine,
                                  ProcessMachine(),
                                  "a " + std::to_string(ProcessBits()) + "-bit host needs the " +
                                      std::to_string(ProcessBits()) + "-bit Nolv_Lib_Wrapper.dll"));
    if (*machine != ProcessMachine())
        checks.push_back(
            NotChecked("library exports", "the DLL cannot be loaded into this process"));
    else
        checks.push_back(ExportsCheck(path));
    checks.push_back(VersionCheck(path));
    return checks;
}
