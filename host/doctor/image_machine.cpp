#include "doctor/image_machine.h"

#include <memory>

namespace {

struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using OwnedFile = std::unique_ptr<void, HandleCloser>;

template <class Header>
bool ReadAt(HANDLE file, LONG offset, Header& header) {
    DWORD read = 0;
    return SetFilePointer(file, offset, nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER &&
           ReadFile(file, &header, sizeof header, &read, nullptr) && read == sizeof header;
}

}  // namespace

std::optional<WORD> ImageMachine(const std::wstring& path) {
    const OwnedFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                     nullptr, OPEN_EXISTING, 0, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) return std::nullopt;
    IMAGE_DOS_HEADER dos;
    if (!ReadAt(file.get(), 0, dos) || dos.e_magic != IMAGE_DOS_SIGNATURE) return std::nullopt;
    struct {
        DWORD signature;
        IMAGE_FILE_HEADER file;
    } nt;
    if (!ReadAt(file.get(), dos.e_lfanew, nt) || nt.signature != IMAGE_NT_SIGNATURE)
        return std::nullopt;
    return nt.file.Machine;
}
