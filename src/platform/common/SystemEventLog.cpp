// The Application event log on Windows; elsewhere there is none, and events go to the file alone.
#include "platform/SystemEventLog.h"

namespace platform {

#ifdef _WIN32

namespace {

const std::string ApplicationLogKey = "SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\";

// The one message of the resource: "%1", the event's whole text.
constexpr DWORD EventMessageID = 1;

bool SourceRegistered(const std::string& source) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, (ApplicationLogKey + source).c_str(), 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

} // namespace

bool RegisterEventLogSource(const std::string& SourceAnsi, const std::string& MessageFileAnsi) noexcept {
    try {
        HKEY key = nullptr;
        if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, (ApplicationLogKey + SourceAnsi).c_str(), 0, nullptr, 0,
                            KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
            return false;
        const DWORD types = EVENTLOG_ERROR_TYPE | EVENTLOG_WARNING_TYPE | EVENTLOG_INFORMATION_TYPE;
        const bool ok = RegSetValueExA(key, "EventMessageFile", 0, REG_EXPAND_SZ,
                                       reinterpret_cast<const BYTE*>(MessageFileAnsi.c_str()),
                                       static_cast<DWORD>(MessageFileAnsi.size() + 1)) == ERROR_SUCCESS &&
                        RegSetValueExA(key, "TypesSupported", 0, REG_DWORD,
                                       reinterpret_cast<const BYTE*>(&types), sizeof types) == ERROR_SUCCESS;
        RegCloseKey(key);
        return ok;
    } catch (...) {
        return false;
    }
}

bool UnregisterEventLogSource(const std::string& SourceAnsi) noexcept {
    try {
        const LONG rc = RegDeleteKeyA(HKEY_LOCAL_MACHINE, (ApplicationLogKey + SourceAnsi).c_str());
        return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
    } catch (...) {
        return false;
    }
}

bool ReportSystemEvent(const std::string& SourceAnsi, bool Error, const WCHAR* Text) noexcept {
    try {
        // The system takes a source it does not know too, and files its events under a text that
        // says the message cannot be found: such events help nobody.
        if (!SourceRegistered(SourceAnsi))
            return false;
        HANDLE log = RegisterEventSourceA(nullptr, SourceAnsi.c_str());
        if (!log)
            return false;
        LPCWSTR strings[] = {Text};
        const bool ok = ReportEventW(log, Error ? EVENTLOG_ERROR_TYPE : EVENTLOG_WARNING_TYPE, 0,
                                     EventMessageID, nullptr, 1, 0, strings, nullptr) != FALSE;
        DeregisterEventSource(log);
        return ok;
    } catch (...) {
        return false;
    }
}

#else

bool RegisterEventLogSource(const std::string&, const std::string&) noexcept {
    return true;
}
bool UnregisterEventLogSource(const std::string&) noexcept {
    return true;
}
bool ReportSystemEvent(const std::string&, bool, const WCHAR*) noexcept {
    return false;
}

#endif

} // namespace platform
