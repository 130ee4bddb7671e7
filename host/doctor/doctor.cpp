#include "doctor/doctor.h"

#include <windows.h>
#include <ole2.h>

#include "doctor/clipboard_check.h"
#include "doctor/component_checks.h"
#include "doctor/library_checks.h"
#include "doctor/library_load_check.h"
#include "doctor/surrogate_checks.h"
#include "wide_text.h"
#include "wrapper_exports.h"

namespace {

// A full path, so that the file checked is the file loaded.
std::wstring LibraryPath(const DoctorOptions& options) {
    if (!options.library) return BesideProgram(L"Nolv_Lib_Wrapper.dll");
    const std::wstring given = WideFromBytes(*options.library, CP_UTF8);
    std::wstring full(GetFullPathNameW(given.c_str(), 0, nullptr, nullptr), L'\0');
    const DWORD length =
        GetFullPathNameW(given.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length == 0 || length >= full.size()) return given;
    full.resize(length);
    return full;
}

// The components are created in an apartment of the doctor's own, as a
// host's first load creates one.
class Apartment {
public:
    Apartment() : initialized_(SUCCEEDED(CoInitialize(nullptr))) {}
    ~Apartment() {
        if (initialized_) CoUninitialize();
    }
    Apartment(const Apartment&) = delete;
    Apartment& operator=(const Apartment&) = delete;

private:
    bool initialized_;
};

}  // namespace

ExitStatus RunDoctor(const DoctorOptions& options, std::ostream& out) {
    std::vector<Check> checks;
    auto report = [&](std::vector<Check> more) {
        for (Check& check : more) {
            out << FormatCheck(check) << std::flush;
            checks.push_back(std::move(check));
        }
    };
    const std::wstring libraryPath = LibraryPath(options);
    report(LibraryChecks(libraryPath));
    report(SurrogateChecks(libraryPath));
    {
        const Apartment apartment;
        const LibraryUnderCheck library(libraryPath);
        for (const ComponentNeeds& component : LibraryComponents()) {
            std::vector<Check> componentChecks = ComponentChecks(component);
            const bool componentFailed = !NoneFailed(componentChecks);
            report(std::move(componentChecks));
            report({library.LoadCheck(component, componentFailed)});
        }
    }
    report({ClipboardCheck()});
    out << Summary(checks);
    return NoneFailed(checks) ? ExitStatus::ChecksPassed : ExitStatus::ChecksFailed;
}
