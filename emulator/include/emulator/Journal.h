// journal.jsonl: one JSON object per entry-point call, so that tests can check exactly what the
// driver sent: {"seq": 12, "fn": "ItemReceipt", "args": ["ХЛЕБ", " ", ...], "rc": 0}.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace azimuth {

// An argument or result: null for out pointers (and null strings), numbers, CP1251 strings.
struct JournalValue {
    enum class Kind { Null, Integer, Real, Text };

    JournalValue() = default;
    JournalValue(std::nullptr_t) {}
    JournalValue(std::int64_t v) : kind(Kind::Integer), integer(v) {}
    JournalValue(double v) : kind(Kind::Real), real(v) {}
    JournalValue(std::string v) : kind(Kind::Text), text(std::move(v)) {}

    Kind kind = Kind::Null;
    std::int64_t integer = 0;
    double real = 0;
    std::string text;
};

// Appends one line to folder/journal.jsonl; "seq" continues the numbering already in the file.
// A failure to write is ignored: the journal never changes the result of a call.
void AppendJournal(const std::filesystem::path& folder, std::string_view fn, const std::vector<JournalValue>& args,
                   const JournalValue& rc, const std::string& detail);

} // namespace azimuth
