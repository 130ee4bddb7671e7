#include "nolv/name_list.h"

namespace {

// Per character, as the system upper-cases: enough for names, where a
// locale's collation rules do not matter.
std::wstring Folded(std::wstring_view text) {
    std::wstring folded(text);
    if (!folded.empty()) CharUpperBuffW(&folded[0], static_cast<DWORD>(folded.size()));
    return folded;
}

}  // namespace

NameList SelectNames(const std::vector<std::wstring>& names, std::wstring_view filter,
                     LONG limit) {
    const std::wstring wanted = Folded(filter);
    NameList list{std::wstring(), 0};
    for (const std::wstring& name : names) {
        if (limit > 0 && list.count == limit) break;
        if (Folded(name).find(wanted) == std::wstring::npos) continue;
        if (list.count > 0) list.csv += L',';
        list.csv += name;
        ++list.count;
    }
    return list;
}
