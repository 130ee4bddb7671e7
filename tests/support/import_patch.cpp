#include "support/import_patch.h"

#include <stdexcept>

namespace {

template <class T>
T* At(HMODULE module, DWORD rva) {
    return reinterpret_cast<T*>(reinterpret_cast<BYTE*>(module) + rva);
}

// Calls visit(dll, function, iat entry) for each import by name; stops
// when visit returns true.
template <class Visit>
void ForEachImport(HMODULE module, Visit visit) {
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(module);
    const auto* nt = At<const IMAGE_NT_HEADERS>(module, dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (directory.VirtualAddress == 0) return;
    for (auto* descriptor = At<IMAGE_IMPORT_DESCRIPTOR>(module, directory.VirtualAddress);
         descriptor->Name != 0; ++descriptor) {
        const char* dll = At<const char>(module, descriptor->Name);
        auto* names = At<IMAGE_THUNK_DATA>(module, descriptor->OriginalFirstThunk);
        auto* entries = At<IMAGE_THUNK_DATA>(module, descriptor->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++entries) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            const auto* byName =
                At<const IMAGE_IMPORT_BY_NAME>(module, static_cast<DWORD>(names->u1.AddressOfData));
            if (visit(dll, reinterpret_cast<const char*>(byName->Name),
                      reinterpret_cast<void**>(&entries->u1.Function)))
                return;
        }
    }
}

void Write(void** entry, void* value) {
    DWORD protection;
    VirtualProtect(entry, sizeof(void*), PAGE_READWRITE, &protection);
    *entry = value;
    VirtualProtect(entry, sizeof(void*), protection, &protection);
}

}  // namespace

ImportPatch::ImportPatch(HMODULE module, const char* dll, const char* function, void* standIn)
    : entry_(nullptr), original_(nullptr) {
    ForEachImport(module, [&](const char* importDll, const char* name, void** entry) {
        if (lstrcmpiA(importDll, dll) != 0 || lstrcmpA(name, function) != 0) return false;
        entry_ = entry;
        return true;
    });
    if (entry_ == nullptr)
        throw std::runtime_error(std::string("no import ") + dll + "!" + function);
    original_ = *entry_;
    Write(entry_, standIn);
}

ImportPatch::~ImportPatch() { Write(entry_, original_); }

std::vector<ImportedFunction> ListImports(HMODULE module) {
    std::vector<ImportedFunction> imports;
    ForEachImport(module, [&](const char* dll, const char* name, void**) {
        imports.push_back({dll, name});
        return false;
    });
    return imports;
}
