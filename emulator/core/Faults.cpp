#include "emulator/Faults.h"

#include "JsonFields.h"

namespace azimuth {

Faults Faults::Load(const std::filesystem::path& folder, const std::function<bool(std::string_view)>& known) {
    Faults faults;
    auto content = ReadTextFile(folder / files::kFaults);
    if (!content)
        return faults;
    Json json = ParseJsonFile(*content, files::kFaults);
    JsonFields f(json, files::kFaults);
    f.Bool("silent", faults.silent);
    f.Bool("paperOut", faults.paperOut);
    if (const Json* rules = f.Find("rules")) {
        if (!rules->is_array())
            f.Fail("rules", "must be an array");
        for (std::size_t i = 0; i < rules->size(); ++i) {
            JsonFields r((*rules)[i], std::string(files::kFaults) + ": rules[" + std::to_string(i) + "]");
            FaultRule rule;
            const Json* fn = r.Find("fn");
            if (!fn || !fn->is_string() || !known(fn->get<std::string>()))
                r.Fail("fn", "must name an entry point that talks to the printer");
            rule.fn = fn->get<std::string>();
            if (!r.Find("code"))
                r.Fail("code", "is missing");
            r.Int("code", rule.code, INT32_MIN, INT32_MAX);
            r.Int("call", rule.call, 1, INT64_MAX);
            r.Bool("after", rule.after);
            faults.rules.push_back(std::move(rule));
        }
    }
    return faults;
}

const FaultRule* Faults::Hit(std::string_view fn) {
    auto it = calls_.find(fn);
    if (it == calls_.end())
        it = calls_.emplace(std::string(fn), 0).first;
    const std::int64_t n = ++it->second;
    for (const auto& rule : rules)
        if (rule.fn == fn && (rule.call == 0 || rule.call == n))
            return &rule;
    return nullptr;
}

} // namespace azimuth
