// The system text editor, for the user to change a file by hand.
#pragma once

#include <string>

// Runs notepad.exe on the file and returns once it has closed; false when
// it could not be started.
bool EditInTextEditor(const std::wstring& fileName);
