#include "command_table.h"

const std::vector<CommandForm>& CommandTable() {
    constexpr ArgumentKind text = ArgumentKind::Text;
    constexpr ArgumentKind wide = ArgumentKind::WideText;
    constexpr ArgumentKind integer = ArgumentKind::Integer;
    static const std::vector<CommandForm> table = {
        {"load-nolv", Operation::LoadNolv, "LoadNolvSys", {}, false},
        {"load-sivat", Operation::LoadSivat, "LoadSivatSys", {}, false},
        {"free", Operation::Free, "FreeNolvSys", {}, false},
        {"number-string", Operation::NumberString, "Nolv_Lib_getNumberStrRZ",
         {{text, "TEXT1"}, {text, "TEXT2"}, {integer, "INT1"}, {integer, "INT2"}}, false},
        {"parts-list", Operation::PartsList, "Nolv_Lib_getPartsNameListRZClip",
         {{text, "TEXT"}, {integer, "LIMIT"}}, true},
        {"mode", Operation::Mode, "Sivat_Lib_GetSivatMode", {{text, "TEXT"}}, false},
        {"about", Operation::About, "Nolv_Lib_AboutBox", {}, false},
        {"sivat-about", Operation::SivatAbout, "Nolv_Lib_SivatAboutBox", {}, false},
        {"edit-settings", Operation::EditSettings, "Nolv_Lib_editSettingData", {}, false},
        {"set-settings", Operation::SetSettings, "Nolv_Lib_setSettingDataFileName",
         {{text, "FILE"}}, false},
        {"wrapper-about", Operation::WrapperAbout, "Nolv_Lib_WrapperAboutBox", {}, false},
        {"number-string-buf", Operation::NumberStringBuffer, "Nolv_Lib_getNumberStrBuf",
         {{text, "TEXT1"}, {text, "TEXT2"}, {integer, "INT1"}, {integer, "INT2"}, {integer, "SIZE"}},
         false},
        {"number-string-bufw", Operation::NumberStringBufferW, "Nolv_Lib_getNumberStrBufW",
         {{wide, "TEXT1"}, {wide, "TEXT2"}, {integer, "INT1"}, {integer, "INT2"}, {integer, "SIZE"}},
         false},
        {"parts-list-buf", Operation::PartsListBuffer, "Nolv_Lib_getPartsNameListBuf",
         {{text, "TEXT"}, {text, "INPUT"}, {integer, "LIMIT"}, {integer, "SIZE"}}, false},
        {"parts-list-bufw", Operation::PartsListBufferW, "Nolv_Lib_getPartsNameListBufW",
         {{wide, "TEXT"}, {wide, "INPUT"}, {integer, "LIMIT"}, {integer, "SIZE"}}, false},
        {"mode-w", Operation::ModeW, "Sivat_Lib_GetSivatModeW", {{wide, "TEXT"}}, false},
        {"set-settings-w", Operation::SetSettingsW, "Nolv_Lib_setSettingDataFileNameW",
         {{wide, "FILE"}}, false},
        {"isolate", Operation::Isolate, "Nolv_Lib_SetIsolation",
         {{integer, "COMPONENTS"}, {integer, "LIMIT-MS"}}, false},
    };
    return table;
}

const CommandForm* FindCommand(const std::string& name) {
    for (const CommandForm& form : CommandTable())
        if (name == form.name) return &form;
    return nullptr;
}
