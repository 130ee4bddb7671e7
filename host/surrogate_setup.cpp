#include "surrogate_setup.h"

#include <windows.h>

#include <optional>

#include "doctor/component_checks.h"
#include "doctor/component_registration.h"
#include "doctor/system_message.h"
#include "wide_text.h"

namespace {

// Where the class itself is registered for 32-bit processes, COM looks for
// its AppID when a 64-bit client asks for the 32-bit server. The AppID key
// is shared by both views on current Windows but not on older ones: it is
// written for each.
constexpr REGSAM kServerView = KEY_WOW64_32KEY;
const REGSAM kAppIdViews[] = {KEY_WOW64_32KEY, KEY_WOW64_64KEY};

const char* ViewName(REGSAM view) { return view == KEY_WOW64_32KEY ? "32-bit" : "64-bit"; }

std::string Place(const std::wstring& key, const wchar_t* valueName, REGSAM view) {
    return "HKEY_CLASSES_ROOT\\" + Utf8(key) + " value " + Utf8(valueName) + " (" +
           ViewName(view) + " view)";
}

[[noreturn]] void Refused(const std::string& what, LSTATUS status) {
    std::string message = "cannot " + what + ": " + SystemMessage(static_cast<DWORD>(status));
    if (status == ERROR_ACCESS_DENIED)
        message += " (writing there needs an administrator: run nolvhost surrogate from an "
                   "elevated prompt)";
    throw SessionError(ExitStatus::HostFailed, message);
}

class WritableKey {
public:
    WritableKey(const std::wstring& name, REGSAM view) {
        const LSTATUS status =
            RegCreateKeyExW(HKEY_CLASSES_ROOT, name.c_str(), 0, nullptr, 0,
                            KEY_SET_VALUE | KEY_QUERY_VALUE | view, nullptr, &key_, nullptr);
        if (status != ERROR_SUCCESS) Refused("open HKEY_CLASSES_ROOT\\" + Utf8(name), status);
    }
    ~WritableKey() { RegCloseKey(key_); }
    WritableKey(const WritableKey&) = delete;
    WritableKey& operator=(const WritableKey&) = delete;

    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

void SetText(const std::wstring& key, const wchar_t* valueName, const std::wstring& text,
             REGSAM view) {
    const WritableKey opened(key, view);
    const LSTATUS status = RegSetValueExW(
        opened.get(), valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
        static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    if (status != ERROR_SUCCESS) Refused("set " + Place(key, valueName, view), status);
}

void RemoveValue(const std::wstring& key, const wchar_t* valueName, REGSAM view) {
    const WritableKey opened(key, view);
    const LSTATUS status = RegDeleteValueW(opened.get(), valueName);
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND)
        Refused("remove " + Place(key, valueName, view), status);
}

enum class KeyState { Absent, Removed, InUse };

// Removes the key when nothing is left in it.
KeyState RemoveKeyIfEmpty(const std::wstring& key, REGSAM view) {
    HKEY opened;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_QUERY_VALUE | view, &opened) !=
        ERROR_SUCCESS)
        return KeyState::Absent;
    DWORD subkeys = 0, values = 0;
    const LSTATUS counted =
        RegQueryInfoKeyW(opened, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values,
                         nullptr, nullptr, nullptr, nullptr);
    RegCloseKey(opened);
    if (counted != ERROR_SUCCESS || subkeys != 0 || values != 0) return KeyState::InUse;
    const LSTATUS status = RegDeleteKeyExW(HKEY_CLASSES_ROOT, key.c_str(), view, 0);
    if (status != ERROR_SUCCESS) Refused("remove HKEY_CLASSES_ROOT\\" + Utf8(key), status);
    return KeyState::Removed;
}

class ComponentSurrogate {
public:
    ComponentSurrogate(const wchar_t* progId, std::ostream& out)
        : progId_(Utf8(progId)), out_(out) {
        if (const std::optional<ComponentRegistration> registration =
                ReadRegistration(progId, kServerView)) {
            classKey_ = L"CLSID\\" + registration->classId;
            classId_ = registration->classId;
        }
    }

    bool registered() const { return !classId_.empty(); }

    // A component that came with an AppID of its own keeps it: the
    // surrogate is set up on that one.
    void setUp() {
        const std::optional<std::wstring> ownAppId = TextValue(classKey_, L"AppID", kServerView);
        const std::wstring appIdKey = L"AppID\\" + ownAppId.value_or(classId_);
        if (!ownAppId) {
            SetText(classKey_, L"AppID", classId_, kServerView);
            changed(Place(classKey_, L"AppID", kServerView) + " set to " + Utf8(classId_));
        }
        for (REGSAM view : kAppIdViews) {
            if (TextValue(appIdKey, L"DllSurrogate", view)) continue;
            SetText(appIdKey, L"DllSurrogate", L"", view);
            changed(Place(appIdKey, L"DllSurrogate", view) + " set to \"\" (the system's surrogate)");
        }
        if (!changed_) say("surrogate already set up, nothing changed");
    }

    // Removes DllSurrogate, and the AppID link and key where nothing else
    // of the component's is left in them.
    void remove() {
        const std::optional<std::wstring> appId = TextValue(classKey_, L"AppID", kServerView);
        const std::wstring appIdKey = L"AppID\\" + appId.value_or(L"");
        for (REGSAM view : kAppIdViews) {
            if (!appId || !TextValue(appIdKey, L"DllSurrogate", view)) continue;
            RemoveValue(appIdKey, L"DllSurrogate", view);
            changed(Place(appIdKey, L"DllSurrogate", view) + " removed");
        }
        // The AppID key this command makes is named after the class; it
        // goes once empty, and the link with it.
        if (!appId || *appId != classId_) return reportIfUnchanged();
        bool appIdKeyGone = true;
        for (REGSAM view : kAppIdViews) {
            const KeyState state = RemoveKeyIfEmpty(appIdKey, view);
            if (state == KeyState::Removed)
                changed("HKEY_CLASSES_ROOT\\" + Utf8(appIdKey) + " (" + ViewName(view) +
                        " view) removed");
            appIdKeyGone = appIdKeyGone && state != KeyState::InUse;
        }
        if (appIdKeyGone) {
            RemoveValue(classKey_, L"AppID", kServerView);
            changed(Place(classKey_, L"AppID", kServerView) + " removed");
        }
        reportIfUnchanged();
    }

private:
    void reportIfUnchanged() {
        if (!changed_) say("no surrogate set up, nothing changed");
    }

    void say(const std::string& line) { out_ << progId_ << ": " << line << '\n'; }
    void changed(const std::string& change) {
        say(change);
        changed_ = true;
    }

    const std::string progId_;
    std::ostream& out_;
    std::wstring classId_;
    std::wstring classKey_;
    bool changed_ = false;
};

}  // namespace

SurrogateAction ParseSurrogateAction(const std::vector<std::string>& words) {
    if (words.size() == 1 && words[0] == "on") return SurrogateAction::On;
    if (words.size() == 1 && words[0] == "off") return SurrogateAction::Off;
    throw SessionError(ExitStatus::WrongInvocation, "surrogate takes one word: on or off");
}

ExitStatus ChangeSurrogate(SurrogateAction action, std::ostream& out) {
    ExitStatus status = ExitStatus::SurrogateChanged;
    for (const ComponentNeeds& component : LibraryComponents()) {
        ComponentSurrogate surrogate(component.progId, out);
        if (!surrogate.registered()) {
            out << Utf8(component.progId)
                << ": not registered for 32-bit processes, nothing changed (a surrogate hosts "
                   "the component's 32-bit DLL: register it first with the 32-bit regsvr32)\n";
            if (action == SurrogateAction::On) status = ExitStatus::SurrogateRefused;
            continue;
        }
        if (action == SurrogateAction::On) surrogate.setUp();
        else surrogate.remove();
        out << std::flush;
    }
    return status;
}
