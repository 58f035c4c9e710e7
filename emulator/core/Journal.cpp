#include "emulator/Journal.h"

#include "JsonFields.h"
#include "emulator/Encoding.h"

#include <fstream>

namespace azimuth {

namespace {

Json ToJson(const JournalValue& value) {
    switch (value.kind) {
    case JournalValue::Kind::Integer:
        return value.integer;
    case JournalValue::Kind::Real:
        return value.real;
    case JournalValue::Kind::Text:
        return Cp1251ToUtf8(value.text);
    case JournalValue::Kind::Null:
        break;
    }
    return nullptr;
}

// The seq of the last line of the file, 0 when there is none. Read again for every line, so that
// two library instances writing the same port's journal keep one numbering.
std::int64_t LastSeq(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary | std::ios::ate);
    if (!in)
        return 0;
    const std::streamoff size = in.tellg();
    // Widen the window until it holds the whole last line: a printed text can make a long one.
    std::string line;
    for (std::streamoff window = 65536;; window *= 4) {
        const std::streamoff start = size > window ? size - window : 0;
        std::string tail(static_cast<std::size_t>(size - start), '\0');
        in.seekg(start);
        in.read(tail.data(), static_cast<std::streamsize>(tail.size()));
        while (!tail.empty() && (tail.back() == '\n' || tail.back() == '\r'))
            tail.pop_back();
        const std::size_t from = tail.rfind('\n');
        if (from != std::string::npos || start == 0) {
            line = tail.substr(from == std::string::npos ? 0 : from + 1);
            break;
        }
    }
    Json json = Json::parse(line, nullptr, false);
    if (json.is_object() && json.contains("seq") && json["seq"].is_number_integer())
        return json["seq"].get<std::int64_t>();
    return 0;
}

} // namespace

void AppendJournal(const std::filesystem::path& folder, std::string_view fn, const std::vector<JournalValue>& args,
                   const JournalValue& rc, const std::string& detail) {
    try {
        const auto file = folder / files::kJournal;
        Json line = Json::object();
        line["seq"] = LastSeq(file) + 1;
        line["fn"] = std::string(fn);
        line["args"] = Json::array();
        for (const auto& arg : args)
            line["args"].push_back(ToJson(arg));
        line["rc"] = ToJson(rc);
        if (!detail.empty())
            line["detail"] = detail;
        AppendToFile(file, line.dump(-1, ' ', false, Json::error_handler_t::replace) + "\n");
    } catch (...) {
        // Out of memory at worst; the call's result stands.
    }
}

} // namespace azimuth
