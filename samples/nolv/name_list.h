// getNameListCSV's rule: which names are listed, and how.
#pragma once

#include "common/com_headers.h"

#include <string>
#include <string_view>
#include <vector>

struct NameList {
    std::wstring csv;  // the names joined by commas, no spaces
    LONG count;
};

// The names containing filter, compared without regard to case (an empty
// filter matches every name), in their order, at most limit of them when
// limit is positive.
NameList SelectNames(const std::vector<std::wstring>& names, std::wstring_view filter,
                     LONG limit);
