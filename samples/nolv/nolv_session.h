// One Nolv object's state: the settings file it was pointed at and the
// settings last read from it.
#pragma once

#include "nolv/settings.h"

class NolvSession {
public:
    // Keeps the name and reads the file; the defaults when it cannot, and
    // then what went wrong, in words for the caller (empty: read, or no
    // name given).
    std::wstring UseSettingsFile(std::wstring fileName);

    // Lets the user edit the file, then reads it again.
    void EditSettingsFile();

    const NolvSettings& Settings() const { return settings_; }

private:
    void ReadSettings();

    std::wstring fileName_;
    NolvSettings settings_;
};
