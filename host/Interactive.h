// Calls typed by hand at a prompt, one per line; works from a pipe as well as a terminal.
#pragma once

#include "Runner.h"

#include <istream>
#include <ostream>
#include <string>

namespace host {

struct PromptLine {
    enum class Kind { Nothing, Step, Help, Vars, Quit };
    Kind kind = Kind::Nothing;
    Step step;
};

// The compact syntax:
//   GetDeviceInfo                      a command with InData Empty
//   SetSettings [{"var": "settings"}]  a command; the rest of the line is InData as JSON
//   settings = GetSettings             a command whose OutData goes to the variable settings
//   raw Open ["1", {"out": "err"}]     a raw call; the rest is the argument list as JSON
//   set NAME [at PATH] = JSON          change a variable or one element of it
//   check NAME [at PATH] = JSON        compare it with an expectation
//   print NAME                         show a variable
//   {"call": ...}                      one step in the scenario form
//   vars, help, quit
// Throws ScenarioError for a line it cannot read.
PromptLine ParsePromptLine(const std::string& line, int number);

extern const char* const kPromptHelp;

// Runs the lifecycle's start calls, then the lines, then the stop calls. Returns 0 when every
// step passed, 1 otherwise.
int RunInteractive(Runner& runner, std::istream& in, std::ostream& out, Lifecycle lifecycle,
                   const std::string& deviceId);

} // namespace host
