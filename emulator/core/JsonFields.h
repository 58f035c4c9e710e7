// Reading the emulator's JSON files strictly: a value of the wrong kind or out of range is a
// damaged file (StateError naming the file and the key), a missing key keeps its default.
#pragma once

#include "emulator/StateFiles.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <string>

namespace azimuth {

using Json = nlohmann::json;

class JsonFields {
public:
    JsonFields(const Json& object, std::string where);

    // Present and not null.
    const Json* Find(const char* key) const;

    void Int(const char* key, std::int64_t& out, std::int64_t min, std::int64_t max) const;
    template <class T>
    void Int(const char* key, T& out, std::int64_t min, std::int64_t max) const {
        std::int64_t v = out;
        Int(key, v, min, max);
        out = static_cast<T>(v);
    }
    void Bool(const char* key, bool& out) const;
    // UTF-8 in the file, CP1251 in memory.
    void Text(const char* key, std::string& out) const;
    // An array of exactly `size` elements.
    const Json* Array(const char* key, std::size_t size) const;

    [[noreturn]] void Fail(const std::string& key, const std::string& problem) const;
    const std::string& Where() const { return where_; }

private:
    const Json& object_;
    std::string where_;
};

// Parses a whole file; a syntax error is a damaged file.
Json ParseJsonFile(const std::string& content, const std::string& where);

// Writers and readers of the state documents.
Json ConfigToJson(const PrinterConfig& config);
PrinterConfig ConfigFromJson(const Json& json, const std::string& port);
Json MemoryToJson(const FiscalMemory& memory);
FiscalMemory MemoryFromJson(const Json& json);

} // namespace azimuth
