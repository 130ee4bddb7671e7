// The architecture an executable image is built for, from its PE header,
// and the architecture of this process.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

// The file's machine type; none when it cannot be read or is no PE image.
std::optional<WORD> ImageMachine(const std::wstring& path);

constexpr WORD ProcessMachine() {
#if defined(_WIN64)
    return IMAGE_FILE_MACHINE_AMD64;
#else
    return IMAGE_FILE_MACHINE_I386;
#endif
}

constexpr int ProcessBits() { return sizeof(void*) * 8; }
