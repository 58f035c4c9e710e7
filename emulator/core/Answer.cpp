#include "emulator/Answer.h"

#include "emulator/Money.h"

namespace azimuth {

const Answer::Field* Answer::Find(int n) const {
    auto it = fields_.find(n);
    return it == fields_.end() ? nullptr : &it->second;
}

std::int64_t Answer::Whole(int n) const {
    const Field* f = Find(n);
    if (!f)
        return 0;
    switch (f->kind) {
    case Kind::Int:
        return f->value;
    case Kind::Money:
        return f->value / 100;
    case Kind::Text:
        break;
    }
    std::int64_t v = 0;
    for (char c : f->text) {
        if (c < '0' || c > '9' || v > INT64_MAX / 10 - 9)
            break;
        v = v * 10 + (c - '0');
    }
    return v;
}

double Answer::Float(int n) const {
    const Field* f = Find(n);
    if (f && f->kind == Kind::Money)
        return static_cast<double>(f->value) / 100.0;
    return static_cast<double>(Whole(n));
}

std::string Answer::Text(int n) const {
    const Field* f = Find(n);
    if (!f)
        return {};
    switch (f->kind) {
    case Kind::Int:
        return std::to_string(f->value);
    case Kind::Money:
        return FormatMoney(f->value);
    case Kind::Text:
        break;
    }
    return f->text;
}

} // namespace azimuth
