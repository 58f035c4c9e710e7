#include "LogReplay.h"

#include "framework/uCommonUtils.h"

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <regex>

namespace host {
namespace {

using nlohmann::json;

// Reads one value of the log's notation; the text of an element ends at "; " or ")".
class ValueParser {
public:
    explicit ValueParser(std::string_view text) : FText(text) {}

    json Whole() {
        json value = Value();
        if (FPos != FText.size())
            Fail("unexpected text after the value");
        return value;
    }

private:
    std::string_view FText;
    std::size_t FPos = 0;

    [[noreturn]] void Fail(const std::string& why) const {
        throw LogReplayError(why + " at column " + std::to_string(FPos + 1));
    }
    bool At(std::string_view s) const { return FText.substr(FPos, s.size()) == s; }
    void Expect(std::string_view s) {
        if (!At(s))
            Fail("expected '" + std::string(s) + "'");
        FPos += s.size();
    }
    bool ElementEnds(std::size_t pos) const {
        return pos == FText.size() || FText.substr(pos, 2) == "; " || FText[pos] == ')';
    }

    json Value() {
        if (At("["))
            return Array();
        if (At("'"))
            return String();
        std::size_t end = FPos;
        while (!ElementEnds(end))
            ++end;
        const std::string token(FText.substr(FPos, end - FPos));
        FPos = end;
        return Scalar(token);
    }

    // "[(a; b)]" is one dimension, "[((a00; a10)(a01; a11))]" two: each inner group is one item
    // with all its attributes, which is the scenario's "rows".
    json Array() {
        Expect("[");
        Expect("(");
        json result = json::array();
        if (At("(")) {
            json rows = json::array();
            while (At("(")) {
                rows.push_back(Group());
            }
            Expect(")");
            result = json{{"rows", rows}};
        } else {
            result = Elements();
            Expect(")");
        }
        Expect("]");
        return result;
    }

    json Group() {
        Expect("(");
        if (At("("))
            Fail("arrays of more than two dimensions cannot be read back");
        json items = Elements();
        Expect(")");
        return items;
    }

    // Elements separated by "; ", up to the ")" that closes their group.
    json Elements() {
        json items = json::array();
        if (At(")"))
            return items;
        items.push_back(Value());
        while (At("; ")) {
            FPos += 2;
            items.push_back(Value());
        }
        return items;
    }

    // The log does not escape apostrophes: the string ends at the first apostrophe that the end
    // of an element follows. A line break was written as backslash and n.
    json String() {
        Expect("'");
        std::size_t end = FPos;
        while (true) {
            end = FText.find('\'', end);
            if (end == std::string_view::npos)
                Fail("a string without its closing apostrophe");
            if (ElementEnds(end + 1))
                break;
            ++end;
        }
        std::string text;
        for (std::size_t i = FPos; i < end; ++i) {
            if (FText[i] == '\\' && i + 1 < end && FText[i + 1] == 'n') {
                text += "\r\n";
                ++i;
            } else {
                text += FText[i];
            }
        }
        FPos = end + 1;
        return text;
    }

    json Scalar(const std::string& token) {
        if (token == "EMPTY")
            return json{{"empty", true}};
        if (token == "NULL")
            return nullptr;
        if (token == "True")
            return true;
        if (token == "False")
            return false;
        // An interface pointer: the only one a host hands over is its equipment manager.
        static const std::regex pointer("\\$[0-9A-F]{8,16}");
        if (std::regex_match(token, pointer))
            return json{{"dispatch", "manager"}};
        static const std::regex date("(\\d{2})\\.(\\d{2})\\.(\\d{4})(?: (\\d{1,2}):(\\d{2}):(\\d{2}))?");
        std::smatch m;
        if (std::regex_match(token, m, date)) {
            std::string iso = m[3].str() + "-" + m[2].str() + "-" + m[1].str();
            if (m[4].matched)
                iso += "T" + std::string(m[4].length() == 1 ? "0" : "") + m[4].str() + ":" + m[5].str() + ":" +
                       m[6].str();
            return json{{"date", iso}};
        }
        static const std::regex integer("-?\\d+");
        if (std::regex_match(token, integer)) {
            const long long value = std::strtoll(token.c_str(), nullptr, 10);
            if (value >= INT32_MIN && value <= INT32_MAX)
                return static_cast<std::int64_t>(value);
            return static_cast<double>(value);
        }
        // The system's decimal separator: a comma on a Russian system, a point elsewhere.
        static const std::regex decimal("-?\\d+[.,]\\d+(?:E[-+]?\\d+)?");
        if (std::regex_match(token, decimal)) {
            std::string c = token;
            for (char& ch : c)
                if (ch == ',')
                    ch = '.';
            return std::strtod(c.c_str(), nullptr);
        }
        Fail("'" + token + "' is no value the log writes");
    }
};

struct LogLine {
    std::string instance;
    std::string caption;
    std::string data;
};

// "time Inst.: {id}<TAB>caption[: <TAB>data]"
bool SplitLine(const std::string& line, LogLine& out) {
    const std::size_t inst = line.find(" Inst.: ");
    const std::size_t tab = line.find('\t');
    if (inst == std::string::npos || tab == std::string::npos || tab < inst)
        return false;
    out.instance = line.substr(inst + 8, tab - inst - 8);
    const std::size_t split = line.find(": \t", tab + 1);
    if (split == std::string::npos) {
        out.caption = line.substr(tab + 1);
        out.data.clear();
    } else {
        out.caption = line.substr(tab + 1, split - tab - 1);
        out.data = line.substr(split + 3);
    }
    return true;
}

} // namespace

json ValueFromLogText(std::string_view text) { return ValueParser(text).Whole(); }

LogReplay ScenarioFromLog(std::istream& log) {
    LogReplay replay;
    json steps = json::array();
    std::string deviceId, instance, line;
    bool otherInstances = false;
    int lineNo = 0;
    while (std::getline(log, line)) {
        ++lineNo;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        LogLine l;
        if (!SplitLine(AnsiToUtf8(line), l))
            continue;
        if (instance.empty())
            instance = l.instance;
        if (l.instance != instance) {
            otherInstances = true;
            continue;
        }
        if (l.caption == "device ID" && deviceId.empty())
            deviceId = l.data;
        const bool opening = l.caption.rfind("> ", 0) == 0;
        const bool closing = l.caption.rfind("< ", 0) == 0;
        if (!opening && !closing)
            continue;
        const std::string name = l.caption.substr(2);
        try {
            if (opening && l.data.rfind("InData: ", 0) == 0) {
                // Disable is the tool's own, as Enable is (which the log never shows).
                if (name == "Disable" || name == "Enable")
                    continue;
                json step{{"call", name}};
                const json in = ValueFromLogText(std::string_view(l.data).substr(8));
                if (in != json{{"empty", true}})
                    step["in"] = in;
                steps.push_back(step);
            } else if (opening) {
                replay.notes.push_back("line " + std::to_string(lineNo) + ": the method " + name +
                                       " is not repeated (only commands are)");
            } else if (closing && l.data.rfind("Result=", 0) == 0 && !steps.empty() &&
                       steps.back()["call"] == name && !steps.back().contains("expect")) {
                const std::string_view result = std::string_view(l.data).substr(7);
                if (result.rfind("True;", 0) == 0)
                    steps.back()["expect"] = true;
                else if (result.rfind("False;", 0) == 0)
                    steps.back()["expect"] = false;
            }
        } catch (const LogReplayError& e) {
            throw LogReplayError("line " + std::to_string(lineNo) + ": " + e.what());
        }
    }
    if (otherInstances)
        replay.notes.push_back("only the first driver object of the log (" + instance +
                               ") is repeated; the log holds others");
    replay.notes.push_back("the settings in the log's header are not applied: the device's own settings stand");
    replay.notes.push_back("numbers are repeated as 32-bit integers or doubles: the log does not tell currency "
                           "or single from double, nor a one-character string from a byte");
    replay.scenario = json{{"description", "Repeated from a debug log: " + std::to_string(steps.size()) +
                                               " calls between Enable and Disable"},
                           {"steps", steps}};
    if (!deviceId.empty())
        replay.scenario["device_id"] = deviceId;
    return replay;
}

} // namespace host
