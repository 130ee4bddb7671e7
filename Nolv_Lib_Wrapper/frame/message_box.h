// The class library's message box: shown over the host's active window,
// captioned with the application's name.
#pragma once

#include <windows.h>

int LibraryMessageBox(const char* text, UINT type = MB_OK, UINT helpContext = 0);
