#include "nolv/text_editor.h"

#include "nolv/unique_handle.h"

bool EditInTextEditor(const std::wstring& fileName) {
    std::wstring commandLine = L"notepad.exe \"" + fileName + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION editor{};
    if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &editor))
        return false;
    const UniqueHandle process(editor.hProcess);
    const UniqueHandle thread(editor.hThread);
    WaitForSingleObject(process.get(), INFINITE);
    return true;
}
