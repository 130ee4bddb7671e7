// Fault injection from outside: one entry of a module's import address
// table replaced by a stand-in for the lifetime of the patch, then restored.
// The module's own code is not changed; only its calls through that entry
// reach the stand-in.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class ImportPatch {
public:
    template <class Failure>
    ImportPatch(HMODULE module, const Failure& failure)
        : ImportPatch(module, failure.dll, failure.function, failure.standIn) {}
    // Throws std::runtime_error when module imports no such function by name.
    ImportPatch(HMODULE module, const char* dll, const char* function, void* standIn);
    ~ImportPatch();
    ImportPatch(const ImportPatch&) = delete;
    ImportPatch& operator=(const ImportPatch&) = delete;

    // The entry as it was: the real function, for stand-ins that forward.
    void* original() const { return original_; }

private:
    void** entry_;
    void* original_;
};

struct ImportedFunction {
    std::string dll;
    std::string function;
};

// Every function the module imports by name.
std::vector<ImportedFunction> ListImports(HMODULE module);
