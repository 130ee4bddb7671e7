// The host's commands: one per function of Nolv_Lib_Wrapper.dll, with the
// arguments each takes, in the order they are given.
#pragma once

#include <string>
#include <vector>

enum class Operation {
    LoadNolv,
    LoadSivat,
    Free,
    NumberString,
    PartsList,
    Mode,
    About,
    SivatAbout,
    EditSettings,
    SetSettings,
    WrapperAbout,
    NumberStringBuffer,
    NumberStringBufferW,
    PartsListBuffer,
    PartsListBufferW,
    ModeW,
    SetSettingsW,
    Isolate,
};

// Text: in the ANSI code page; WideText: in UTF-16, for a W function.
enum class ArgumentKind { Text, WideText, Integer };

struct ArgumentForm {
    ArgumentKind kind;
    const char* name;  // as the usage text and error messages call it
};

struct CommandForm {
    const char* name;
    Operation operation;
    const char* exportName;
    std::vector<ArgumentForm> arguments;
    // Whether --clipboard TEXT or --clipboard-stdin may follow the arguments.
    bool takesClipboardInput;
};

const std::vector<CommandForm>& CommandTable();
// The command of that name, or null.
const CommandForm* FindCommand(const std::string& name);
