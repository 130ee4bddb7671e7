// Whether the clipboard can be opened now, which the library's two text
// operations need; if not, who holds it.
#pragma once

#include "doctor/check.h"

Check ClipboardCheck();
