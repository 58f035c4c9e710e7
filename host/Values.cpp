#include "Values.h"

#include "Text.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace host {

namespace {

// Reference chains are host-made; a cycle must not hang the tool.
constexpr int kMaxRefDepth = 16;

long long DaysFromCivil(int year, unsigned month, unsigned day) {
    year -= month <= 2;
    const long long era = (year >= 0 ? year : year - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(year - era * 400);
    const unsigned doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

bool IsLeap(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeap(year) ? 29 : kDays[month - 1];
}

bool ReadDigits(std::string_view text, std::size_t& pos, std::size_t count, int& value) {
    if (pos + count > text.size())
        return false;
    value = 0;
    for (std::size_t i = 0; i < count; ++i) {
        char c = text[pos + i];
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
    }
    pos += count;
    return true;
}

bool Expect(std::string_view text, std::size_t& pos, char c) {
    if (pos < text.size() && text[pos] == c) {
        ++pos;
        return true;
    }
    return false;
}

SAFEARRAY* ArrayOf(const VARIANT& v) {
    if (!(v.vt & VT_ARRAY))
        return nullptr;
    return (v.vt & VT_BYREF) ? (v.pparray ? *v.pparray : nullptr) : v.parray;
}

// The array a subscript applies to, checked against the subscript.
SAFEARRAY* CheckedArray(const VARIANT& node, const Subscript& subscript, const Path& path, std::size_t level) {
    std::string where = "element " + PathText(Path(path.begin(), path.begin() + level + 1));
    SAFEARRAY* array = ArrayOf(node);
    if (!array)
        throw RunError(where + ": the value is not an array");
    if ((node.vt & VT_TYPEMASK) != VT_VARIANT)
        throw RunError(where + ": the array does not hold Variants");
    UINT dims = SafeArrayGetDim(array);
    if (dims != subscript.size())
        throw RunError(where + ": the array has " + std::to_string(dims) + " dimension(s), the subscript " +
                       std::to_string(subscript.size()));
    for (UINT d = 0; d < dims; ++d) {
        LONG low = 0, high = -1;
        SafeArrayGetLBound(array, d + 1, &low);
        SafeArrayGetUBound(array, d + 1, &high);
        if (subscript[d] < low || subscript[d] > high)
            throw RunError(where + ": index " + std::to_string(subscript[d]) + " is outside " + std::to_string(low) +
                           ".." + std::to_string(high));
    }
    return array;
}

void SetAtLevel(VARIANT& node, const Path& path, std::size_t level, const VARIANT& value) {
    VARIANT& target = Deref(node);
    if (level == path.size()) {
        Variant copy = Variant::CopyOf(value);
        VariantClear(&target);
        target = copy.Detach();
        return;
    }
    Subscript subscript = path[level];
    SAFEARRAY* array = CheckedArray(target, subscript, path, level);
    Variant element;
    if (FAILED(SafeArrayGetElement(array, subscript.data(), element.Receive())))
        throw RunError("element " + PathText(path) + " cannot be read");
    SetAtLevel(*element.Get(), path, level + 1, value);
    if (FAILED(SafeArrayPutElement(array, subscript.data(), element.Get())))
        throw RunError("element " + PathText(path) + " cannot be written");
}

void PutItem(SAFEARRAY* array, LONG* indices, const Value& item, const BuildContext& context) {
    Variant element;
    BuildVariant(item, context, *element.Get());
    if (FAILED(SafeArrayPutElement(array, indices, element.Get())))
        throw RunError("an array element cannot be stored");
}

struct ArrayOwner {
    SAFEARRAY* p = nullptr;
    ~ArrayOwner() {
        if (p)
            SafeArrayDestroy(p);
    }
};

} // namespace

std::optional<std::int64_t> ParseCurrency(std::string_view text) {
    std::size_t pos = 0;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '-' || text[pos] == '+'))
        negative = text[pos++] == '-';
    std::size_t intStart = pos;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9')
        ++pos;
    std::string_view whole = text.substr(intStart, pos - intStart);
    std::string_view fraction;
    if (pos < text.size() && text[pos] == '.') {
        std::size_t fracStart = ++pos;
        while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9')
            ++pos;
        fraction = text.substr(fracStart, pos - fracStart);
    }
    if (pos != text.size() || (whole.empty() && fraction.empty()) || fraction.size() > 4)
        return std::nullopt;
    std::uint64_t units = 0;
    if (!whole.empty()) {
        auto [end, ec] = std::from_chars(whole.data(), whole.data() + whole.size(), units);
        if (ec != std::errc() || end != whole.data() + whole.size())
            return std::nullopt;
    }
    constexpr std::uint64_t kLimit = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    if (units > kLimit / 10000)
        return std::nullopt;
    units *= 10000;
    std::uint64_t scale = 1000;
    for (char c : fraction) {
        units += static_cast<std::uint64_t>(c - '0') * scale;
        scale /= 10;
    }
    if (units > kLimit)
        return std::nullopt;
    return negative ? -static_cast<std::int64_t>(units) : static_cast<std::int64_t>(units);
}

DATE MakeOleDate(int year, int month, int day, int hour, int minute, int second, int millisecond) {
    double days = static_cast<double>(DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) -
                                      DaysFromCivil(1899, 12, 30));
    double fraction = (((hour * 60.0 + minute) * 60.0 + second) * 1000.0 + millisecond) / 86400000.0;
    return days < 0 ? days - fraction : days + fraction;
}

std::optional<DATE> ParseDate(std::string_view text) {
    std::size_t pos = 0;
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, ms = 0;
    if (!ReadDigits(text, pos, 4, year) || !Expect(text, pos, '-') || !ReadDigits(text, pos, 2, month) ||
        !Expect(text, pos, '-') || !ReadDigits(text, pos, 2, day))
        return std::nullopt;
    if (pos < text.size()) {
        if (!Expect(text, pos, 'T') && !Expect(text, pos, ' '))
            return std::nullopt;
        if (!ReadDigits(text, pos, 2, hour) || !Expect(text, pos, ':') || !ReadDigits(text, pos, 2, minute) ||
            !Expect(text, pos, ':') || !ReadDigits(text, pos, 2, second))
            return std::nullopt;
        if (Expect(text, pos, '.') && !ReadDigits(text, pos, 3, ms))
            return std::nullopt;
        if (pos != text.size())
            return std::nullopt;
    }
    // The automation date range.
    if (year < 100 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month) || hour > 23 ||
        minute > 59 || second > 59)
        return std::nullopt;
    return MakeOleDate(year, month, day, hour, minute, second, ms);
}

Variant* Variables::Find(const std::string& name) {
    auto it = vars_.find(name);
    return it == vars_.end() ? nullptr : &it->second;
}

Variant& Variables::Get(const std::string& name) {
    if (Variant* v = Find(name))
        return *v;
    throw RunError("unknown variable '" + name + "' (no earlier step gave it a value)");
}

Variant& Variables::Define(const std::string& name) {
    return vars_[name];
}

const VARIANT& Deref(const VARIANT& v) {
    const VARIANT* p = &v;
    for (int depth = 0; p->vt == (VT_BYREF | VT_VARIANT) && p->pvarVal && depth < kMaxRefDepth; ++depth)
        p = p->pvarVal;
    return *p;
}

VARIANT& Deref(VARIANT& v) {
    return const_cast<VARIANT&>(Deref(static_cast<const VARIANT&>(v)));
}

std::string PathText(const Path& path) {
    std::string text;
    for (const auto& subscript : path) {
        text += "(";
        for (std::size_t i = 0; i < subscript.size(); ++i)
            text += (i ? ", " : "") + std::to_string(subscript[i]);
        text += ")";
    }
    return text;
}

void GetAt(const VARIANT& root, const Path& path, VARIANT& out) {
    Variant current = Variant::CopyOf(Deref(root));
    for (std::size_t level = 0; level < path.size(); ++level) {
        Subscript subscript = path[level];
        SAFEARRAY* array = CheckedArray(Deref(current.Raw()), subscript, path, level);
        Variant element;
        if (FAILED(SafeArrayGetElement(array, subscript.data(), element.Receive())))
            throw RunError("element " + PathText(path) + " cannot be read");
        current = std::move(element);
    }
    out = current.Detach();
}

void SetAt(VARIANT& root, const Path& path, const VARIANT& value) {
    SetAtLevel(root, path, 0, value);
}

void BuildVariant(const Value& value, const BuildContext& context, VARIANT& out) {
    VariantInit(&out);
    switch (value.kind) {
    case ValueKind::Empty:
        break;
    case ValueKind::Null:
        out.vt = VT_NULL;
        break;
    case ValueKind::Bool:
        out.vt = VT_BOOL;
        out.boolVal = value.boolean ? VARIANT_TRUE : VARIANT_FALSE;
        break;
    case ValueKind::I2:
        out.vt = VT_I2;
        out.iVal = static_cast<SHORT>(value.integer);
        break;
    case ValueKind::I4:
        out.vt = VT_I4;
        out.lVal = static_cast<LONG>(value.integer);
        break;
    case ValueKind::UI1:
        out.vt = VT_UI1;
        out.bVal = static_cast<BYTE>(value.integer);
        break;
    case ValueKind::R8:
        out.vt = VT_R8;
        out.dblVal = value.real;
        break;
    case ValueKind::Cy:
        out.vt = VT_CY;
        out.cyVal.int64 = value.integer;
        break;
    case ValueKind::Date:
        out.vt = VT_DATE;
        out.date = value.real;
        break;
    case ValueKind::String:
        out = Variant::FromUtf8(value.text).Detach();
        break;
    case ValueKind::Array:
    case ValueKind::Array2D: {
        bool twoD = value.kind == ValueKind::Array2D;
        SAFEARRAYBOUND bounds[2] = {};
        bounds[0].cElements = static_cast<ULONG>(value.items.size());
        bounds[0].lLbound = value.lbound[0];
        if (twoD) {
            bounds[1].cElements = value.items.empty() ? 0 : static_cast<ULONG>(value.items.front().items.size());
            bounds[1].lLbound = value.lbound[1];
        }
        ArrayOwner array;
        array.p = SafeArrayCreate(VT_VARIANT, twoD ? 2 : 1, bounds);
        if (!array.p)
            throw RunError("an array cannot be created");
        for (std::size_t a = 0; a < value.items.size(); ++a) {
            if (!twoD) {
                LONG index = value.lbound[0] + static_cast<LONG>(a);
                PutItem(array.p, &index, value.items[a], context);
                continue;
            }
            for (std::size_t i = 0; i < value.items[a].items.size(); ++i) {
                LONG indices[2] = {value.lbound[0] + static_cast<LONG>(a), value.lbound[1] + static_cast<LONG>(i)};
                PutItem(array.p, indices, value.items[a].items[i], context);
            }
        }
        out.vt = VT_ARRAY | VT_VARIANT;
        out.parray = std::exchange(array.p, nullptr);
        break;
    }
    case ValueKind::Var:
        GetAt(context.vars.Get(value.text).Raw(), value.path, out);
        break;
    case ValueKind::Object: {
        IDispatch* object = value.nullObject ? nullptr : context.manager;
        if (object)
            object->AddRef();
        out.vt = value.refType;
        if (value.refType == VT_DISPATCH)
            out.pdispVal = object;
        else
            out.punkVal = object;
        break;
    }
    case ValueKind::ByRef:
    case ValueKind::Out:
        throw RunError("a reference can only be a top-level argument of a call");
    case ValueKind::Any:
    case ValueKind::TypeOf:
    case ValueKind::Prefix:
    case ValueKind::Contains:
        throw RunError("an expectation cannot be passed as a value");
    }
}

} // namespace host
