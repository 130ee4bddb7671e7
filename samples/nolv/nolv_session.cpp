#include "nolv/nolv_session.h"

#include "common/component_message.h"
#include "nolv/text_editor.h"

#include <utility>

std::wstring NolvSession::UseSettingsFile(std::wstring fileName) {
    fileName_ = std::move(fileName);
    std::wstring whyNot;
    settings_ = LoadSettings(fileName_, &whyNot);
    if (whyNot.empty()) return whyNot;
    return L"the settings file \"" + fileName_ + L"\" cannot be read (" + whyNot +
           L"); the built-in settings are in use";
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
