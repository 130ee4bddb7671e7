#include "nolv/nolv_session.h"

#include "common/component_message.h"
#include "nolv/text_editor.h"

#include <utility>

void NolvSession::UseSettingsFile(std::wstring fileName) {
    fileName_ = std::move(fileName);
    ReadSettings();
}

void NolvSession::EditSettingsFile() {
    if (fileName_.empty()) {
        ShowMessage(L"No settings file name has been set.", MB_ICONWARNING);
    } else if (!EditInTextEditor(fileName_)) {
        ShowMessage(L"The text editor (notepad.exe) could not be started.", MB_ICONERROR);
    } else {
        ReadSettings();
    }
}

void NolvSession::ReadSettings() { settings_ = LoadSettings(fileName_); }
