#include "doctor/component_checks.h"

#include <ole2.h>

#include <memory>

#include "bridge/component_contract.h"
#include "bridge/component_creation.h"
#include "doctor/component_registration.h"
#include "doctor/findings.h"
#include "doctor/image_machine.h"
#include "doctor/system_message.h"
#include "wide_text.h"

namespace {

struct Releaser {
    void operator()(IUnknown* object) const { object->Release(); }
};
template <class Interface>
using ComReference = std::unique_ptr<Interface, Releaser>;

class ComponentExamination {
public:
    explicit ComponentExamination(const ComponentNeeds& component)
        : component_(component), progId_(Utf8(component.progId)) {}

    std::vector<Check> checks() {
        const std::optional<ComponentRegistration> own =
            ReadRegistration(component_.progId, ThisProcessView());
        const bool otherViewExists = OtherViewExists();
        const std::optional<ComponentRegistration> other =
            otherViewExists ? ReadRegistration(component_.progId, OtherView()) : std::nullopt;
        surrogate_ = !own && other && SurrogateFor(*other);
        add(RegistrationCheck(progId_, {ProcessBits(), own.has_value(), otherViewExists,
                                        other.has_value(), surrogate_}));
        // Through the surrogate, the 32-bit registration is the one in use.
        const std::optional<ComponentRegistration>& registration = surrogate_ ? other : own;
        if (!registration) {
            for (const char* check : {"CLSID", "server", "server architecture", "threading model",
                                      "creation", "IDispatch", "methods"})
                add(NotChecked(subject(check), "not registered for this process"));
            return std::move(checks_);
        }
        add(Passed(subject("CLSID"), Utf8(registration->classId)));
        checkServer(registration->server);
        add(ThreadingModelCheck(
            progId_, registration->threadingModel
                         ? std::optional<std::string>(Utf8(*registration->threadingModel))
                         : std::nullopt));
        checkObject();
        return std::move(checks_);
    }

private:
    static bool SurrogateFor([[maybe_unused]] const ComponentRegistration& registration) {
#ifdef _WIN64
        CLSID classId;
        return SUCCEEDED(CLSIDFromString(registration.classId.c_str(), &classId)) &&
               SetUpForSurrogate(classId);
#else
        return false;  // the library never asks for a surrogate in a 32-bit host
#endif
    }

    std::string subject(const char* check) const { return progId_ + ' ' + check; }
    void add(Check check) { checks_.push_back(std::move(check)); }

    // COM looks a bare file name up on the search path, as SearchPath does.
    static std::optional<std::wstring> ServerFile(const std::wstring& server) {
        std::wstring found(MAX_PATH, L'\0');
        DWORD length;
        while ((length = SearchPathW(nullptr, server.c_str(), nullptr,
                                     static_cast<DWORD>(found.size()), found.data(), nullptr)) >=
               found.size())
            found.resize(length);  // too small: length is the size needed
        if (length == 0) return std::nullopt;
        found.resize(length);
        return found;
    }

    void checkServer(const std::wstring& server) {
        const std::optional<std::wstring> file = ServerFile(server);
        if (!file) {
            add(Failed(
                subject("server"), Utf8(server) + ": no such file",
                "the registration names a DLL that is gone: COM cannot load the component",
                "reinstall the component, or register it again from where its DLL is now: regsvr32 "
                "<the component's DLL>"));
            add(NotChecked(subject("server architecture"), "no server file"));
            return;
        }
        const std::wstring& path = *file;
        add(Passed(subject("server"), Utf8(path)));
        const std::optional<WORD> machine = ImageMachine(path);
        if (!machine) {
            add(Failed(subject("server architecture"), "not an executable image",
                       Utf8(path) + " is no DLL: COM cannot load it",
                       "reinstall the component and register it again"));
            return;
        }
        if (surrogate_)
            add(MachineCheck(subject("server architecture"), Utf8(path), *machine,
                             IMAGE_FILE_MACHINE_I386,
                             "register the component's 32-bit build with the 32-bit regsvr32",
                             "the 32-bit surrogate process"));
        else
            add(MachineCheck(subject("server architecture"), Utf8(path), *machine,
                             ProcessMachine(),
                             "register the component's " + std::to_string(ProcessBits()) +
                                 "-bit build with the " + std::to_string(ProcessBits()) +
                                 "-bit regsvr32"));
    }

    // Created as the library creates it, then asked for what the library
    // asks of it.
    void checkObject() {
        CLSID classId;
        IUnknown* created = nullptr;
        HRESULT result = CLSIDFromProgID(component_.progId, &classId);
        if (SUCCEEDED(result)) result = CreateComponentObject(classId, &created);
        const ComReference<IUnknown> object(created);
        add(CreationCheck(progId_, result, SystemMessage(static_cast<DWORD>(result))));
        if (!object) {
            add(NotChecked(subject("IDispatch"), "not created"));
            add(NotChecked(subject("methods"), "not created"));
            return;
        }
        IDispatch* dispatch = nullptr;
        result = object->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch));
        const ComReference<IDispatch> automation(dispatch);
        if (!automation) {
            add(Failed(
                subject("IDispatch"),
                "refused: " + HresultText(result, SystemMessage(static_cast<DWORD>(result))),
                "the library calls every method through IDispatch: without it the load returns 0",
                "install a component version that is an automation object (IDispatch or a dual "
                "interface)"));
            add(NotChecked(subject("methods"), "no IDispatch"));
            return;
        }
        add(Passed(subject("IDispatch"), "available"));
        checkMethods(*automation);
    }

    void checkMethods(IDispatch& dispatch) {
        std::string found, missing;
        for (const wchar_t* method : component_.methods) {
            LPOLESTR names[] = {const_cast<LPOLESTR>(method)};
            DISPID id;
            std::string& list =
                SUCCEEDED(dispatch.GetIDsOfNames(IID_NULL, names, 1, LOCALE_SYSTEM_DEFAULT, &id))
                    ? found
                    : missing;
            list += (list.empty() ? "" : ", ") + Utf8(method);
        }
        if (missing.empty()) {
            add(Passed(subject("methods"), "all found: " + found));
            return;
        }
        add(Failed(
            subject("methods"), "missing: " + missing,
            "an older or another version of the component: the library's calls of these methods "
            "return their fallback results",
            "install the component version that has every method the library calls"));
    }

    const ComponentNeeds& component_;
    const std::string progId_;
    bool surrogate_ = false;  // created out of process, in the 32-bit surrogate
    std::vector<Check> checks_;
};

}  // namespace

const std::vector<ComponentNeeds>& LibraryComponents() {
    static const std::vector<ComponentNeeds> components = {
        {contract::kNolvProgId,
         {contract::kGetNumberStr, contract::kGetNameListCSV, contract::kNolvAboutBox,
          contract::kEditSettingData, contract::kSetSettingDataFileName},
         "LoadNolvSys", &WrapperExports::LoadNolvSys},
        {contract::kSivatProgId, {contract::kGetSivatMode, contract::kSivatAbout}, "LoadSivatSys",
         &WrapperExports::LoadSivatSys},
    };
    return components;
}

std::vector<Check> ComponentChecks(const ComponentNeeds& component) {
    return ComponentExamination(component).checks();
}
