// Reads scenarios, single steps and values from their JSON form (described in examples/README.md).
#pragma once

#include "Scenario.h"

#include <nlohmann/json_fwd.hpp>

#include <stdexcept>
#include <string>
#include <string_view>

namespace host {

// Malformed scenario input. The message names the step (1-based) or the JSON line and column.
class ScenarioError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Where a value stands decides which forms it may take.
enum class ValueContext {
    Input,    // an argument or an element of one
    Argument, // a top-level argument of a raw call: may also be a reference
    Pattern,  // an expectation
};

// JSON text to a document; a syntax error becomes a ScenarioError with its line and column.
nlohmann::json ParseJson(std::string_view text);

Scenario ParseScenario(std::string_view text);
Step ReadStep(const nlohmann::json& json, int number);
// One step or one value typed by hand; number is the step's number for messages.
Step ParseStep(std::string_view text, int number);
Value ParseValue(std::string_view text, ValueContext context);

// Variables a scenario uses before any step (or the tool's lifecycle) gives them a value.
// Throws ScenarioError naming the first such step.
void CheckVariables(const Scenario& scenario);

} // namespace host
