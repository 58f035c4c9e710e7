// Failures rehearsed on purpose: faults.json in a port's folder, read at every connect.
//
//   {"silent": false, "paperOut": false,
//    "rules": [{"fn": "CloseReceipt", "code": 194, "call": 2, "after": true}]}
//
// A rule answers its code on the n-th call of the entry point since the connect ("call", from 1),
// or on every call when "call" is absent. With "after": true the call takes effect first and
// only its answer is replaced (the printer did it, the answer was lost).
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace azimuth {

struct FaultRule {
    std::string fn;
    std::int32_t code = 0;
    std::int64_t call = 0; // 0: every call
    bool after = false;
};

class Faults {
public:
    bool silent = false;   // every exchange answers 194
    bool paperOut = false; // every printing command answers "no paper"
    std::vector<FaultRule> rules;

    // No file: no faults. A damaged file, or a rule for an entry point that `known` does not
    // accept, throws StateError.
    static Faults Load(const std::filesystem::path& folder, const std::function<bool(std::string_view)>& known);

    // Counts a call of the entry point and returns the rule that answers it, if any.
    const FaultRule* Hit(std::string_view fn);

private:
    std::map<std::string, std::int64_t, std::less<>> calls_;
};

} // namespace azimuth
