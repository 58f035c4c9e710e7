#include "JsonFields.h"

#include "emulator/Encoding.h"

namespace azimuth {

JsonFields::JsonFields(const Json& object, std::string where) : object_(object), where_(std::move(where)) {
    if (!object_.is_object())
        throw StateError(where_ + ": an object is expected");
}

const Json* JsonFields::Find(const char* key) const {
    auto it = object_.find(key);
    if (it == object_.end() || it->is_null())
        return nullptr;
    return &*it;
}

void JsonFields::Fail(const std::string& key, const std::string& problem) const {
    throw StateError(where_ + ": \"" + key + "\" " + problem);
}

void JsonFields::Int(const char* key, std::int64_t& out, std::int64_t min, std::int64_t max) const {
    const Json* v = Find(key);
    if (!v)
        return;
    std::int64_t value;
    if (v->is_number_integer())
        value = v->get<std::int64_t>();
    else if (v->is_number_unsigned() && v->get<std::uint64_t>() <= static_cast<std::uint64_t>(INT64_MAX))
        value = static_cast<std::int64_t>(v->get<std::uint64_t>());
    else
        Fail(key, "must be an integer");
    if (value < min || value > max)
        Fail(key, std::string("must be from ").append(std::to_string(min)).append(" to ").append(std::to_string(max)));
    out = value;
}

void JsonFields::Bool(const char* key, bool& out) const {
    const Json* v = Find(key);
    if (!v)
        return;
    if (!v->is_boolean())
        Fail(key, "must be true or false");
    out = v->get<bool>();
}

void JsonFields::Text(const char* key, std::string& out) const {
    const Json* v = Find(key);
    if (!v)
        return;
    if (!v->is_string())
        Fail(key, "must be a string");
    out = Utf8ToCp1251(v->get<std::string>());
}

const Json* JsonFields::Array(const char* key, std::size_t size) const {
    const Json* v = Find(key);
    if (v && (!v->is_array() || v->size() != size))
        Fail(key, std::string("must be an array of ").append(std::to_string(size)).append(" elements"));
    return v;
}

Json ParseJsonFile(const std::string& content, const std::string& where) {
    try {
        return Json::parse(content);
    } catch (const Json::exception& e) {
        throw StateError(where + ": " + e.what());
    }
}

} // namespace azimuth
