// Reading what a method returned. Components may answer with any automation
// type, so the result goes through the standard automation conversion rather
// than being read as the type the library expects.
#pragma once

#include <optional>

#include "bridge/automation_owners.h"

// No result, or one that does not convert, is recorded as the call's
// failure.

// The result as an automation string; null when there was no result, it
// does not convert to a string, or it is a null string.
Bstr ResultAsBstr(ResultValue& result);

// The result as a 32-bit integer; nothing when there was no result or it
// does not convert.
std::optional<LONG> ResultAsInteger(ResultValue& result);
