// Arbitrary bytes as a scenario file for the host simulator: malformed input must end in a
// ScenarioError with a message, never a crash, a hang or an uncaught exception of another kind.
#include "ScenarioReader.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    try {
        host::Scenario scenario = host::ParseScenario(text);
        host::CheckVariables(scenario);
    } catch (const host::ScenarioError&) {
    }
    try {
        host::ParseStep(text, 1);
    } catch (const host::ScenarioError&) {
    }
    return 0;
}
