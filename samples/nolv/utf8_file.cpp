#include "nolv/utf8_file.h"

#include "nolv/unique_handle.h"

namespace {
constexpr LONGLONG kLargestFile = 1 << 20;
constexpr wchar_t kByteOrderMark = 0xFEFF;

std::wstring SystemMessage(DWORD error) {
    wchar_t message[256];
    DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, error, 0, message, ARRAYSIZE(message), nullptr);
    while (length > 0 && (message[length - 1] == L'\r' || message[length - 1] == L'\n' ||
                          message[length - 1] == L' '))
        --length;
    if (length == 0) return L"error " + std::to_wstring(error);
    return std::wstring(message, length);
}

std::optional<std::string> ReadBytes(const std::wstring& fileName, std::wstring& whyNot) {
    const UniqueHandle file(CreateFileW(fileName.c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file.valid() || !GetFileSizeEx(file.get(), &size)) {
        whyNot = SystemMessage(GetLastError());
        return std::nullopt;
    }
    if (size.QuadPart > kLargestFile) {
        whyNot = L"it is larger than 1 MiB";
        return std::nullopt;
    }
    std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!bytes.empty() &&
        !ReadFile(file.get(), &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr)) {
        whyNot = SystemMessage(GetLastError());
        return std::nullopt;
    }
    bytes.resize(read);  // the file may have shrunk since its size was taken
    return bytes;
}

std::wstring FromUtf8(const std::string& bytes) {
    if (bytes.empty()) return std::wstring();
    const int size = static_cast<int>(bytes.size());
    const int length = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), size, nullptr, 0);
    std::wstring text(static_cast<std::size_t>(length), L'\0');
    if (length > 0) MultiByteToWideChar(CP_UTF8, 0, bytes.data(), size, &text[0], length);
    return text;
}
}  // namespace

std::optional<std::wstring> ReadUtf8File(const std::wstring& fileName, std::wstring* whyNot) {
    std::wstring problem;
    const std::optional<std::string> bytes = ReadBytes(fileName, problem);
    if (!bytes) {
        if (whyNot != nullptr) *whyNot = problem;
        return std::nullopt;
    }
    std::wstring text = FromUtf8(*bytes);
    if (!text.empty() && text.front() == kByteOrderMark) text.erase(0, 1);
    return text;
}
