#include "doctor/findings.h"

#include <cstdio>

namespace {

std::string Hex(unsigned long value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%0*lX", digits, value);
    return text;
}

std::string ProcessesOf(int bits) { return std::to_string(bits) + "-bit processes"; }

struct CreationFailure {
    HRESULT result;
    const char* cause;
    const char* fix;
};

// The failures behind most loads that return 0, in the words of the
// situation rather than of the code.
const CreationFailure kCreationFailures[] = {
    {REGDB_E_CLASSNOTREG,
     "the ProgID names a class whose registration is incomplete or made for the other bitness",
     "register the component again with regsvr32 of this process's bitness"},
    {CO_E_CLASSSTRING, "the ProgID is not registered for this process (invalid class string)",
     "register the component with regsvr32 of this process's bitness"},
    {HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND),
     "the component's DLL, or a DLL it needs, cannot be found",
     "reinstall the component, or register it again from where its DLL is now"},
    {HRESULT_FROM_WIN32(ERROR_BAD_EXE_FORMAT),
     "the component's DLL is built for the other architecture",
     "register the component's build for this process's bitness"},
    {CO_E_ERRORINDLL, "the component's DLL is damaged or not a valid image",
     "reinstall the component"},
    {E_NOINTERFACE, "the component's class factory refuses to hand out an object",
     "use a component version that is an automation object"},
};

}  // namespace

std::string MachineName(WORD machine) {
    switch (machine) {
        case IMAGE_FILE_MACHINE_I386:
            return "x86 (32-bit)";
        case IMAGE_FILE_MACHINE_AMD64:
            return "x64 (64-bit)";
        case IMAGE_FILE_MACHINE_ARM64:
            return "ARM64 (64-bit)";
        case IMAGE_FILE_MACHINE_ARMNT:
            return "ARM (32-bit)";
    }
    return "machine type " + Hex(machine, 4);
}

Check MachineCheck(const std::string& subject, const std::string& path, WORD imageMachine,
                   WORD processMachine, const std::string& whatFixesIt,
                   const std::string& loader) {
    if (imageMachine == processMachine)
        return Passed(subject, MachineName(imageMachine) + ", as " + loader);
    return Failed(subject,
                  MachineName(imageMachine) + ", " + loader + " is " + MachineName(processMachine),
                  path + " is built for another architecture: " + loader + " cannot load it",
                  whatFixesIt);
}

Check RegistrationCheck(const std::string& progId, const RegistrationViews& views) {
    const std::string subject = progId + " registration";
    const int otherBits = views.processBits == 64 ? 32 : 64;
    if (views.inThisView && views.inOtherView)
        return Passed(subject, "registered for 32-bit and 64-bit processes");
    if (views.inThisView)
        return Passed(subject, "registered for " + ProcessesOf(views.processBits) +
                                   (views.otherViewExists
                                        ? ", as this one (not for " + ProcessesOf(otherBits) + ")"
                                        : ""));
    if (views.inOtherView && views.processBits == 64 && views.surrogateSetUp)
        return Passed(subject,
                      "registered for 32-bit processes only, created out of process by the "
                      "system's DLL surrogate (a 32-bit dllhost.exe)");
    if (views.inOtherView && views.processBits == 64)
        return Failed(subject, "registered for 32-bit processes only, no surrogate set up",
                      "a 64-bit process cannot load a 32-bit DLL, and no DLL surrogate is set up "
                      "to host it in a 32-bit process: creating " + progId +
                          " fails with \"class not registered\" (0x80040154) and a load returns 0",
                      "run " + std::string(kSurrogateCommand) +
                          " as an administrator (the component then runs in the system's 32-bit "
                          "surrogate process, each call crossing processes), or register the "
                          "component's 64-bit build with the 64-bit regsvr32, or use a 32-bit "
                          "host with the 32-bit Nolv_Lib_Wrapper.dll");
    if (views.inOtherView)
        return Failed(subject, "registered for " + ProcessesOf(otherBits) + " only",
                      "this is a " + std::to_string(views.processBits) +
                          "-bit process: it sees only the registrations made for " +
                          ProcessesOf(views.processBits) + ", so creating " + progId +
                          " fails with \"invalid class string\" (0x800401F3) and a load returns 0",
                      "register the component's " + std::to_string(views.processBits) +
                          "-bit build with the " + std::to_string(views.processBits) +
                          "-bit regsvr32, or use a " + std::to_string(otherBits) +
                          "-bit host with the " + std::to_string(otherBits) +
                          "-bit Nolv_Lib_Wrapper.dll");
    return Failed(subject, "not registered",
                  "no " + ProcessesOf(32) +
                      (views.otherViewExists ? " or " + ProcessesOf(64) : "") +
                      " find HKEY_CLASSES_ROOT\\" + progId +
                      "\\CLSID with its class's InprocServer32: the component is not installed, or "
                      "was unregistered",
                  "install the component and register its DLL: regsvr32 <the component's DLL>");
}

std::string HresultText(HRESULT result, const std::string& systemMessage) {
    const std::string code = Hex(static_cast<unsigned long>(result), 8);
    return systemMessage.empty() ? code : code + " (" + systemMessage + ")";
}

Check CreationCheck(const std::string& progId, HRESULT result, const std::string& systemMessage) {
    const std::string subject = progId + " creation";
    const std::string finding = "CoCreateInstance " + HresultText(result, systemMessage);
    if (SUCCEEDED(result)) return Passed(subject, finding);
    for (const CreationFailure& failure : kCreationFailures)
        if (failure.result == result) return Failed(subject, finding, failure.cause, failure.fix);
    return Failed(
        subject, finding,
        "COM or the component's own code refused to create an object; a failed check above, if "
        "any, names the reason",
        "fix what the checks above found; otherwise see the component's documentation for this "
        "code, or reinstall the component");
}

Check LibraryLoadCheck(const std::string& progId, const char* loadName, int result,
                       const std::string& reason, bool earlierFailed) {
    const std::string subject = progId + " load through the library";
    const std::string finding = std::string(loadName) + " returned " + std::to_string(result);
    if (result == 1) return Passed(subject, finding);
    return Failed(subject, finding,
                  reason.empty() ? "the library recorded no reason" : "the library says: " + reason,
                  earlierFailed ? "fix what the checks of " + progId + " above found"
                                : "the checks above passed, so the library meets what they do "
                                  "not: act on its reason, which names the step that failed and "
                                  "its HRESULT");
}

Check ThreadingModelCheck(const std::string& progId, const std::optional<std::string>& model) {
    const std::string subject = progId + " threading model";
    if (!model)
        return Passed(subject,
                      "none (single-threaded: COM creates it in the process's first apartment)");
    for (const char* known : {"Apartment", "Both", "Free", "Neutral"})
        if (_stricmp(model->c_str(), known) == 0) return Passed(subject, *model);
    return Failed(subject, "\"" + *model + "\"",
                  "COM knows no such threading model: the registration is damaged",
                  "register the component again: regsvr32 <the component's DLL>");
}
