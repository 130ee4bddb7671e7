// Message boxes of the sample, captioned with its name.
#pragma once

#include "common/com_headers.h"
#include "common/dispatch_object.h"

// A method of no arguments that shows the sample's name and version.
Method AboutBoxMethod(const wchar_t* name);

// style: the MB_ICON* to show with the text.
void ShowMessage(const wchar_t* text, UINT style);
