#include "doctor/library_load_check.h"

#include "doctor/findings.h"
#include "wide_text.h"

LibraryUnderCheck::LibraryUnderCheck(const std::wstring& path)
    : module_(LoadLibraryW(path.c_str())) {
    if (module_ == nullptr)
        unusable_ = "the library cannot be loaded into this process";
    else if (const char* missing = ResolveWrapperExports(module_, exports_))
        unusable_ = std::string("the library has no function ") + missing;
}

LibraryUnderCheck::~LibraryUnderCheck() {
    if (module_ != nullptr) FreeLibrary(module_);
}

Check LibraryUnderCheck::LoadCheck(const ComponentNeeds& component, bool earlierFailed) const {
    const std::string progId = Utf8(component.progId);
    if (!unusable_.empty()) return NotChecked(progId + " load through the library", unusable_);
    const int result = (exports_.*component.load)();
    const std::string reason = result == 1 ? std::string() : Utf8(ReadLastFailure(exports_).line);
    exports_.FreeNolvSys();
    return LibraryLoadCheck(progId, component.loadName, result, reason, earlierFailed);
}
