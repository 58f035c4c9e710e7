// The answer of the last query, read field by field (GetFldWord, GetFldByte, GetFldFloat,
// GetFldInt, GetFldStr). Fields a query does not fill read as 0 or an empty text.
#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace azimuth {

class Answer {
public:
    void SetInt(int n, std::int64_t value) { fields_[n] = {Kind::Int, value, {}}; }
    void SetMoney(int n, std::int64_t kopecks) { fields_[n] = {Kind::Money, kopecks, {}}; }
    void SetText(int n, std::string cp1251) { fields_[n] = {Kind::Text, 0, std::move(cp1251)}; }

    // Counters wider than the field keep their low bits, as the printer's registers do.
    std::uint16_t Word(int n) const { return static_cast<std::uint16_t>(Whole(n)); }
    std::uint8_t Byte(int n) const { return static_cast<std::uint8_t>(Whole(n)); }
    std::int32_t Int(int n) const { return static_cast<std::int32_t>(Whole(n)); }
    // Money in roubles; other numbers as they are.
    double Float(int n) const;
    std::string Text(int n) const; // numbers as decimal text

    // The size of the caller's buffer for GetFldStr, terminator included: the driver reads the
    // serial number into 12 bytes and the other identity texts into 17.
    std::size_t textCapacity = 17;

private:
    enum class Kind { Int, Money, Text };
    struct Field {
        Kind kind = Kind::Int;
        std::int64_t value = 0;
        std::string text;
    };
    std::int64_t Whole(int n) const;
    const Field* Find(int n) const;

    std::map<int, Field> fields_;
};

} // namespace azimuth
