// The doctor's verdicts that follow from facts alone, with their causes and
// fixes in plain words: kept apart from the reading of those facts so that
// the wording and the reasoning can be tested without Windows' state.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "doctor/check.h"

// "x86 (32-bit)", "x64 (64-bit)", or the machine type's number.
std::string MachineName(WORD machine);

// An image's machine type against the process that is to load it (loader:
// that process, as the finding names it). whatFixesIt: what to do when they
// differ.
Check MachineCheck(const std::string& subject, const std::string& path, WORD imageMachine,
                   WORD processMachine, const std::string& whatFixesIt,
                   const std::string& loader = "this process");

// Where a ProgID is registered: in the registry view of this process
// (processBits 32 or 64), in the other one, which a 32-bit Windows lacks;
// and whether a 64-bit process reaches its 32-bit registration through the
// system's DLL surrogate.
struct RegistrationViews {
    int processBits;
    bool inThisView;
    bool otherViewExists;
    bool inOtherView;
    bool surrogateSetUp;
};

// The command that sets the surrogate up, as the report names it.
inline constexpr char kSurrogateCommand[] = "nolvhost surrogate on";
Check RegistrationCheck(const std::string& progId, const RegistrationViews& views);

// Why creating a registered component failed with this HRESULT, and what
// to do; systemMessage is the system's text for it.
Check CreationCheck(const std::string& progId, HRESULT result, const std::string& systemMessage);

// "0x800401F3 (Invalid class string)".
std::string HresultText(HRESULT result, const std::string& systemMessage);

// A load of the component through the library: the function's name and
// result, and the library's own record of why it failed (empty when it
// recorded none). earlierFailed: a check of the component above failed,
// which then names what to fix.
Check LibraryLoadCheck(const std::string& progId, const char* loadName, int result,
                       const std::string& reason, bool earlierFailed);

// The ThreadingModel value of the component's InprocServer32, if any.
Check ThreadingModelCheck(const std::string& progId, const std::optional<std::string>& model);
