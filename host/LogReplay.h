// A scenario from the driver's debug log: the host's calls between Enable and Disable, with the
// values the log shows, so that support staff can repeat a shop's session on the virtual printer.
#pragma once

#include <nlohmann/json.hpp>

#include <istream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace host {

class LogReplayError : public std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct LogReplay {
    nlohmann::json scenario;
    // What the log's notation could not carry over, one remark a line.
    std::vector<std::string> notes;
};

// The log in the system's ANSI code page, as the driver writes it. Throws LogReplayError naming
// the line of a value that cannot be read back.
LogReplay ScenarioFromLog(std::istream& log);

// One value in the log's notation (UTF-8) as a scenario value.
nlohmann::json ValueFromLogText(std::string_view text);

} // namespace host
