#include "framework/uEventLog.h"

#include "framework/uCommonUtils.h"
#include "framework/uDebugLog.h"
#include "framework/uDriverIdentity.h"
#include "framework/uEventTexts.h"
#include "platform/SystemEventLog.h"

std::string EventLogFileName(const std::string& logPathAnsi, const TLocalTime& now) {
    return DatedLogFileName(logPathAnsi, "Events_", now);
}

std::string EventText(std::string_view pattern, std::initializer_list<std::string_view> parts) {
    std::string text;
    auto part = parts.begin();
    for (std::size_t at = 0;;) {
        const std::size_t mark = pattern.find("%s", at);
        if (mark == std::string_view::npos || part == parts.end()) {
            text += pattern.substr(at);
            return text;
        }
        text += pattern.substr(at, mark - at);
        text += *part++;
        at = mark + 2;
    }
}

std::string EventLogLine(const TLocalTime& now, std::string_view deviceIDAnsi, TEventLevel level,
                         std::string_view textAnsi, std::optional<LONG> code) {
    std::string line = LogTimeText(now);
    line += '\t';
    line += deviceIDAnsi.empty() ? std::string_view(eventtexts::NoDeviceID) : deviceIDAnsi;
    line += '\t';
    line += Utf8ToAnsi(level == TEventLevel::Error ? eventtexts::Error : eventtexts::Warning);
    line += '\t';
    // A text is one line of the file whatever the printer or the system answered.
    for (char c : textAnsi)
        line += c == '\r' || c == '\n' || c == '\t' ? ' ' : c;
    if (code) {
        line += '\t';
        line += Utf8ToAnsi(eventtexts::CodeLabel);
        line += std::to_string(*code);
    }
    line += "\r\n";
    return line;
}

bool WriteEventLog(const std::string& folderAnsi, const std::string& deviceIDAnsi, TEventLevel level,
                   std::string_view textUtf8, std::optional<LONG> code) noexcept {
    bool written = false;
    try {
        const TLocalTime now = LocalNow();
        written = AppendLogLine(EventLogFileName(folderAnsi, now),
                                EventLogLine(now, deviceIDAnsi, level, Utf8ToAnsi(textUtf8), code));
        // The system's log keeps its own time and level; the device and the code go into the text.
        WString text = Utf8ToWide(eventtexts::DeviceLabel);
        text += deviceIDAnsi.empty() ? Utf8ToWide(eventtexts::NoDeviceID) : AnsiToWide(deviceIDAnsi);
        text += Utf8ToWide(": ");
        text += Utf8ToWide(textUtf8);
        if (code)
            text += Utf8ToWide(std::string(" (") + eventtexts::CodeLabel + std::to_string(*code) + ")");
        platform::ReportSystemEvent(EventSourceName, level == TEventLevel::Error, text.c_str());
    } catch (...) {
    }
    return written;
}
