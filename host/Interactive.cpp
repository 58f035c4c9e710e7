#include "Interactive.h"

#include "ScenarioReader.h"
#include "ValuePrinter.h"

#include <nlohmann/json.hpp>

#include <cctype>

namespace host {

using nlohmann::json;

const char* const kPromptHelp =
    "  GetDeviceInfo                      call a command (InData Empty, Timeout 0)\n"
    "  SetSettings [{\"var\": \"settings\"}]  call a command with InData given as JSON\n"
    "  settings = GetSettings             keep OutData in the variable settings\n"
    "  raw Open [\"1\", {\"out\": \"err\"}]     call any member with an argument list\n"
    "  set settings at [0, [1, 2]] = true change a variable or one element of it\n"
    "  check settings at [0, [1, 2]] = true\n"
    "  print settings                     show a variable\n"
    "  {\"call\": \"GetSettings\", ...}       one scenario step as JSON\n"
    "  vars | help | quit\n";

namespace {

std::string Trim(const std::string& text) {
    std::size_t start = 0, end = text.size();
    while (start < end && std::isspace(static_cast<unsigned char>(text[start])))
        ++start;
    while (end > start && std::isspace(static_cast<unsigned char>(text[end - 1])))
        --end;
    return text.substr(start, end - start);
}

// Splits off the first word; rest gets what follows it, trimmed.
std::string FirstWord(const std::string& text, std::string& rest) {
    std::size_t end = 0;
    while (end < text.size() && !std::isspace(static_cast<unsigned char>(text[end])) && text[end] != '=')
        ++end;
    rest = Trim(text.substr(end));
    return text.substr(0, end);
}

bool IsName(const std::string& word) {
    if (word.empty() || std::isdigit(static_cast<unsigned char>(word[0])))
        return false;
    for (char c : word)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_')
            return false;
    return true;
}

// "NAME [at PATH] = JSON" of set and check.
json TargetAndValue(const std::string& rest, const char* kind, const char* valueKey) {
    std::string after;
    std::string name = FirstWord(rest, after);
    if (!IsName(name))
        throw ScenarioError(std::string(kind) + " needs a variable name");
    json step = {{kind, name}};
    if (after.rfind("at", 0) == 0 && after.size() > 2 && std::isspace(static_cast<unsigned char>(after[2]))) {
        std::size_t eq = after.find(" = ");
        if (eq == std::string::npos)
            throw ScenarioError(std::string(kind) + " " + name + " at PATH = VALUE: the ' = ' is missing");
        step["at"] = ParseJson(Trim(after.substr(2, eq - 2)));
        after = Trim(after.substr(eq + 1));
    }
    if (after.empty() || after[0] != '=')
        throw ScenarioError(std::string(kind) + " " + name + " = VALUE: the '=' is missing");
    step[valueKey] = ParseJson(Trim(after.substr(1)));
    return step;
}

} // namespace

PromptLine ParsePromptLine(const std::string& raw, int number) {
    PromptLine result;
    std::string line = Trim(raw);
    if (line.empty() || line[0] == '#')
        return result;
    if (line == "quit" || line == "exit") {
        result.kind = PromptLine::Kind::Quit;
        return result;
    }
    if (line == "help" || line == "?") {
        result.kind = PromptLine::Kind::Help;
        return result;
    }
    if (line == "vars") {
        result.kind = PromptLine::Kind::Vars;
        return result;
    }
    result.kind = PromptLine::Kind::Step;
    if (line[0] == '{') {
        result.step = ParseStep(line, number);
        return result;
    }

    std::string rest;
    std::string word = FirstWord(line, rest);
    json step;
    try {
        if (word == "raw") {
            std::string args;
            std::string name = FirstWord(rest, args);
            if (!IsName(name))
                throw ScenarioError("raw needs a member name");
            step = {{"raw", name}};
            if (!args.empty())
                step["args"] = ParseJson(args);
        } else if (word == "set") {
            step = TargetAndValue(rest, "set", "value");
        } else if (word == "check") {
            step = TargetAndValue(rest, "check", "is");
        } else if (word == "print") {
            if (!IsName(rest))
                throw ScenarioError("print needs a variable name");
            step = {{"print", rest}};
        } else {
            std::string command = word;
            std::string out;
            if (!rest.empty() && rest[0] == '=') {
                // NAME = Command [InData]
                out = word;
                command = FirstWord(Trim(rest.substr(1)), rest);
            }
            if (!IsName(command) || (!out.empty() && !IsName(out)))
                throw ScenarioError("cannot read '" + line + "'; type help for the syntax");
            step = {{"call", command}};
            if (!out.empty())
                step["out"] = out;
            if (!rest.empty())
                step["in"] = ParseJson(rest);
        }
    } catch (const ScenarioError& e) {
        throw ScenarioError("step " + std::to_string(number) + ": " + e.what());
    }
    result.step = ReadStep(step, number);
    return result;
}

int RunInteractive(Runner& runner, std::istream& in, std::ostream& out, Lifecycle lifecycle,
                   const std::string& deviceId) {
    bool failed = false;
    for (const auto& step : Runner::StartSteps(lifecycle, deviceId)) {
        StepOutcome outcome = runner.Run(step);
        if (!outcome.passed) {
            out << "FAILED " << outcome.failure << "\n";
            failed = true;
        }
    }
    out << "Type calls, one per line (help for the syntax, quit to end).\n";
    int number = 0;
    std::string line;
    for (;;) {
        out << "orvel27> " << std::flush;
        if (!std::getline(in, line))
            break;
        PromptLine parsed;
        try {
            parsed = ParsePromptLine(line, number + 1);
        } catch (const ScenarioError& e) {
            out << "error: " << e.what() << "\n";
            failed = true;
            continue;
        }
        if (parsed.kind == PromptLine::Kind::Quit)
            break;
        if (parsed.kind == PromptLine::Kind::Help) {
            out << kPromptHelp;
        } else if (parsed.kind == PromptLine::Kind::Vars) {
            for (const auto& [name, value] : runner.Vars().All())
                out << "  " << name << " = " << LogText(value.Raw()) << "\n";
        } else if (parsed.kind == PromptLine::Kind::Step) {
            ++number;
            StepOutcome outcome = runner.Run(parsed.step);
            if (!outcome.passed) {
                out << "FAILED " << outcome.failure << "\n";
                failed = true;
            }
        }
    }
    out << "\n";
    for (const auto& step : Runner::StopSteps(lifecycle)) {
        StepOutcome outcome = runner.Run(step);
        if (!outcome.passed) {
            out << "FAILED " << outcome.failure << "\n";
            failed = true;
        }
    }
    return failed ? 1 : 0;
}

} // namespace host
