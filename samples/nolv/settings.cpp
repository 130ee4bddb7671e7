#include "nolv/settings.h"

#include "nolv/text_fields.h"
#include "nolv/utf8_file.h"

#include <cerrno>
#include <cwchar>
#include <optional>

namespace {

enum class Section { kNone, kNumber, kParts };

Section SectionNamed(std::wstring_view name) {
    const std::wstring text(Trim(name));
    if (_wcsicmp(text.c_str(), L"number") == 0) return Section::kNumber;
    if (_wcsicmp(text.c_str(), L"parts") == 0) return Section::kParts;
    return Section::kNone;
}

std::optional<LONG> ParseInteger(std::wstring_view text) {
    const std::wstring digits(text);
    if (digits.empty()) return std::nullopt;
    wchar_t* end = nullptr;
    errno = 0;
    const long value = std::wcstol(digits.c_str(), &end, 10);
    if (errno == ERANGE || end != digits.c_str() + digits.size()) return std::nullopt;
    return static_cast<LONG>(value);
}

void SetNumberKey(NumberScheme& scheme, std::wstring_view line) {
    const std::size_t equals = line.find(L'=');
    if (equals == std::wstring_view::npos) return;
    const std::wstring key(Trim(line.substr(0, equals)));
    const std::wstring_view value = Trim(line.substr(equals + 1));
    if (_wcsicmp(key.c_str(), L"separator") == 0) {
        scheme.separator = value;
    } else if (_wcsicmp(key.c_str(), L"width") == 0) {
        const std::optional<LONG> width = ParseInteger(value);
        if (width && *width >= 0 && *width <= kWidestNumber) scheme.width = *width;
    } else if (_wcsicmp(key.c_str(), L"step") == 0) {
        if (const std::optional<LONG> step = ParseInteger(value)) scheme.step = *step;
    }
}

bool IsComment(std::wstring_view line) {
    return line.empty() || line.front() == L';' || line.front() == L'#';
}

}  // namespace

NolvSettings ParseSettings(std::wstring_view text) {
    NolvSettings settings;
    Section section = Section::kNone;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find(L'\n', start);
        if (end == std::wstring_view::npos) end = text.size();
        const std::wstring_view content = Trim(text.substr(start, end - start));
        start = end + 1;
        if (IsComment(content)) continue;
        if (content.front() == L'[' && content.back() == L']') {
            section = SectionNamed(content.substr(1, content.size() - 2));
        } else if (section == Section::kNumber) {
            SetNumberKey(settings.number, content);
        } else if (section == Section::kParts) {
            for (std::wstring& name : SplitNames(content)) settings.parts.push_back(std::move(name));
        }
    }
    return settings;
}

NolvSettings LoadSettings(const std::wstring& fileName, std::wstring* whyNot) {
    if (fileName.empty()) return NolvSettings();
    const std::optional<std::wstring> text = ReadUtf8File(fileName, whyNot);
    return text ? ParseSettings(*text) : NolvSettings();
}
