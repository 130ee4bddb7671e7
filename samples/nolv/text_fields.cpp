#include "nolv/text_fields.h"

namespace {
constexpr wchar_t kBlanks[] = L" \t\r";  // a CR of a CR LF line end included
constexpr wchar_t kNameSeparators[] = L",\r\n";
}  // namespace

std::wstring_view Trim(std::wstring_view text) {
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::wstring_view::npos) return std::wstring_view();
    const std::size_t last = text.find_last_not_of(kBlanks);
    return text.substr(first, last - first + 1);
}

std::vector<std::wstring> SplitNames(std::wstring_view text) {
    std::vector<std::wstring> names;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find_first_of(kNameSeparators, start);
        if (end == std::wstring_view::npos) end = text.size();
        const std::wstring_view name = Trim(text.substr(start, end - start));
        if (!name.empty()) names.emplace_back(name);
        start = end + 1;
    }
    return names;
}
