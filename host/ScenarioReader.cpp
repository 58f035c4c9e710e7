#include "ScenarioReader.h"

#include "Hresult.h"
#include "Values.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <initializer_list>
#include <limits>
#include <set>

namespace host {

using nlohmann::json;

namespace {

[[noreturn]] void Fail(const std::string& message) {
    throw ScenarioError(message);
}

std::string Quoted(const std::string& text) {
    return "'" + text + "'";
}

// Reads one integer that must fit the given range.
std::int64_t ReadInteger(const json& j, std::int64_t low, std::int64_t high, const char* what) {
    if (!j.is_number_integer())
        Fail(std::string(what) + " must be an integer, not " + j.dump());
    std::int64_t n = 0;
    if (j.is_number_unsigned()) {
        auto u = j.get<std::uint64_t>();
        if (u > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()))
            Fail(std::string(what) + " " + j.dump() + " is out of range");
        n = static_cast<std::int64_t>(u);
    } else {
        n = j.get<std::int64_t>();
    }
    if (n < low || n > high)
        Fail(std::string(what) + " " + j.dump() + " is out of range " + std::to_string(low) + ".." +
             std::to_string(high));
    return n;
}

const std::string& ReadString(const json& j, const char* what) {
    if (!j.is_string())
        Fail(std::string(what) + " must be a string, not " + j.dump());
    return j.get_ref<const std::string&>();
}

std::string ReadName(const json& j, const char* what) {
    std::string name = ReadString(j, what);
    if (name.empty())
        Fail(std::string(what) + " must not be empty");
    return name;
}

void OnlyKeys(const json& object, std::initializer_list<const char*> allowed, const std::string& where) {
    for (const auto& item : object.items()) {
        if (std::find_if(allowed.begin(), allowed.end(), [&](const char* k) { return item.key() == k; }) ==
            allowed.end())
            Fail("unknown key " + Quoted(item.key()) + " in " + where);
    }
}

struct TypeName {
    const char* name;
    VARTYPE vt;
};
constexpr TypeName kTypes[] = {
    {"empty", VT_EMPTY}, {"null", VT_NULL},         {"i2", VT_I2},     {"i4", VT_I4},
    {"r4", VT_R4},       {"r8", VT_R8},             {"cy", VT_CY},     {"date", VT_DATE},
    {"bstr", VT_BSTR},   {"string", VT_BSTR},       {"bool", VT_BOOL}, {"dispatch", VT_DISPATCH},
    {"unknown", VT_UNKNOWN}, {"variant", VT_VARIANT}, {"ui1", VT_UI1}, {"array", VT_ARRAY | VT_VARIANT},
};

VARTYPE ReadType(const json& j, const char* what) {
    const std::string& name = ReadString(j, what);
    for (const auto& t : kTypes)
        if (name == t.name)
            return t.vt;
    Fail(std::string(what) + " " + Quoted(name) + " is not a type name (empty, null, i2, i4, r4, r8, cy, date, "
                             "bstr, bool, dispatch, unknown, variant, ui1, array)");
}

Subscript ReadSubscript(const json& j) {
    Subscript s;
    if (j.is_array()) {
        if (j.empty() || j.size() > 2)
            Fail("a subscript must have one or two indices, not " + j.dump());
        for (const auto& index : j)
            s.push_back(static_cast<LONG>(ReadInteger(index, INT32_MIN, INT32_MAX, "an index")));
    } else {
        s.push_back(static_cast<LONG>(ReadInteger(j, INT32_MIN, INT32_MAX, "an index")));
    }
    return s;
}

// "at": a list of subscripts, one per array level, e.g. [0, [1, 2]] for element [1, 2] of the 2-D
// array that is element 0 of the outer array. A single integer is short for [n].
Path ReadPath(const json& j) {
    Path path;
    if (!j.is_array()) {
        path.push_back(ReadSubscript(j));
        return path;
    }
    for (const auto& s : j)
        path.push_back(ReadSubscript(s));
    return path;
}

std::int64_t ReadCurrency(const json& j) {
    if (j.is_number_integer()) {
        std::int64_t n = ReadInteger(j, std::numeric_limits<std::int64_t>::min() / 10000,
                                     std::numeric_limits<std::int64_t>::max() / 10000, "a currency amount");
        return n * 10000;
    }
    if (!j.is_string())
        Fail("a currency amount is written as a string with at most four decimals, e.g. {\"cy\": \"123.45\"}, "
             "not " + j.dump());
    auto parsed = ParseCurrency(j.get_ref<const std::string&>());
    if (!parsed)
        Fail("currency " + j.dump() + " is not a decimal number with at most four decimals in range");
    return *parsed;
}

Value ReadValueIn(const json& j, ValueContext context);

Value ReadItems(const json& j, const char* what, ValueContext context) {
    if (!j.is_array())
        Fail(std::string(what) + " must be a JSON list, not " + j.dump());
    Value v;
    v.kind = ValueKind::Array;
    ValueContext inner = context == ValueContext::Pattern ? ValueContext::Pattern : ValueContext::Input;
    for (const auto& item : j)
        v.items.push_back(ReadValueIn(item, inner));
    return v;
}

// A 2-D array given as a list of equal-length lists. attributeMajor: outer list = first index.
Value Read2D(const json& j, bool attributeMajor, ValueContext context) {
    const char* what = attributeMajor ? "array2d" : "rows";
    if (!j.is_array())
        Fail(std::string(what) + " must be a list of lists, not " + j.dump());
    std::vector<Value> outer;
    for (const auto& list : j) {
        if (!list.is_array())
            Fail(std::string(what) + " must be a list of lists; " + list.dump() + " is not a list");
        outer.push_back(ReadItems(list, what, context));
        if (outer.back().items.size() != outer.front().items.size())
            Fail(std::string(what) + ": all lists must have the same length (" +
                 std::to_string(outer.front().items.size()) + " and " + std::to_string(outer.back().items.size()) +
                 ")");
    }
    Value v;
    v.kind = ValueKind::Array2D;
    if (attributeMajor) {
        v.items = std::move(outer);
        return v;
    }
    // rows: one list per item holding all of its attributes; stored attribute-major.
    std::size_t attributes = outer.empty() ? 0 : outer.front().items.size();
    for (std::size_t a = 0; a < attributes; ++a) {
        Value row;
        row.kind = ValueKind::Array;
        for (auto& item : outer)
            row.items.push_back(std::move(item.items[a]));
        v.items.push_back(std::move(row));
    }
    return v;
}

void ReadLbound(const json& object, Value& v) {
    if (!object.contains("lbound"))
        return;
    const json& lb = object["lbound"];
    if (v.kind == ValueKind::Array) {
        v.lbound[0] = static_cast<LONG>(ReadInteger(lb, INT32_MIN / 2, INT32_MAX / 2, "lbound"));
        return;
    }
    if (!lb.is_array() || lb.size() != 2)
        Fail("lbound of a 2-D array is a list of two integers, not " + lb.dump());
    v.lbound[0] = static_cast<LONG>(ReadInteger(lb[0], INT32_MIN / 2, INT32_MAX / 2, "lbound"));
    v.lbound[1] = static_cast<LONG>(ReadInteger(lb[1], INT32_MIN / 2, INT32_MAX / 2, "lbound"));
}

Value ReadObject(const json& j, ValueContext context) {
    static const char* const kTags[] = {"empty", "i2",   "i4",      "ui1",     "r8",  "bool", "str",
                                        "cy",    "date", "array",   "array2d", "rows", "var", "dispatch",
                                        "unknown", "byref", "out", "any", "type", "prefix", "contains"};
    std::string tag;
    for (const char* t : kTags) {
        if (j.contains(t)) {
            if (!tag.empty() && !(tag == "out" && std::string(t) == "type"))
                Fail("a value has one of the keys " + Quoted(tag) + " and " + Quoted(t) + ", not both: " + j.dump());
            if (tag.empty())
                tag = t;
        }
    }
    if (tag.empty())
        Fail("unknown value form " + j.dump() +
             " (a value object has one key such as i4, r8, cy, date, array2d, rows, var, out)");

    bool pattern = context == ValueContext::Pattern;
    bool argument = context == ValueContext::Argument;
    auto requireContext = [&](bool allowed, const char* where) {
        if (!allowed)
            Fail("{\"" + tag + "\": ...} is allowed only " + where + ": " + j.dump());
    };

    Value v;
    v.exactType = true;
    const json& body = j[tag];
    std::string where = "value " + j.dump();
    if (tag == "empty") {
        OnlyKeys(j, {"empty"}, where);
        v.kind = ValueKind::Empty;
    } else if (tag == "i2" || tag == "i4" || tag == "ui1") {
        OnlyKeys(j, {tag.c_str()}, where);
        v.kind = tag == "i2" ? ValueKind::I2 : tag == "i4" ? ValueKind::I4 : ValueKind::UI1;
        v.integer = tag == "i2"   ? ReadInteger(body, INT16_MIN, INT16_MAX, "an i2")
                    : tag == "i4" ? ReadInteger(body, INT32_MIN, INT32_MAX, "an i4")
                                  : ReadInteger(body, 0, 255, "a ui1");
    } else if (tag == "r8") {
        OnlyKeys(j, {"r8"}, where);
        if (!body.is_number())
            Fail("r8 must be a number, not " + body.dump());
        v.kind = ValueKind::R8;
        v.real = body.get<double>();
    } else if (tag == "bool") {
        OnlyKeys(j, {"bool"}, where);
        if (!body.is_boolean())
            Fail("bool must be true or false, not " + body.dump());
        v.kind = ValueKind::Bool;
        v.boolean = body.get<bool>();
    } else if (tag == "str") {
        OnlyKeys(j, {"str"}, where);
        v.kind = ValueKind::String;
        v.text = ReadString(body, "str");
    } else if (tag == "cy") {
        OnlyKeys(j, {"cy"}, where);
        v.kind = ValueKind::Cy;
        v.integer = ReadCurrency(body);
    } else if (tag == "date") {
        OnlyKeys(j, {"date"}, where);
        auto date = ParseDate(ReadString(body, "date"));
        if (!date)
            Fail("date " + body.dump() + " is not a valid date of the form 2026-12-07 or 2026-12-07T15:30:00");
        v.kind = ValueKind::Date;
        v.real = *date;
    } else if (tag == "array") {
        OnlyKeys(j, {"array", "lbound"}, where);
        v = ReadItems(body, "array", context);
        ReadLbound(j, v);
    } else if (tag == "array2d" || tag == "rows") {
        OnlyKeys(j, {tag.c_str(), "lbound"}, where);
        v = Read2D(body, tag == "array2d", context);
        ReadLbound(j, v);
    } else if (tag == "var") {
        requireContext(!pattern, "as an input");
        OnlyKeys(j, {"var", "at"}, where);
        v.kind = ValueKind::Var;
        v.text = ReadName(body, "a variable name");
        if (j.contains("at"))
            v.path = ReadPath(j["at"]);
    } else if (tag == "dispatch" || tag == "unknown") {
        requireContext(!pattern, "as an input");
        OnlyKeys(j, {tag.c_str()}, where);
        v.kind = ValueKind::Object;
        v.refType = tag == "dispatch" ? VT_DISPATCH : VT_UNKNOWN;
        if (body.is_null())
            v.nullObject = true;
        else if (!body.is_string() || body.get<std::string>() != "manager")
            Fail("the only object a scenario can pass is \"manager\" (the equipment manager) or null, not " +
                 body.dump());
    } else if (tag == "byref") {
        requireContext(argument, "as an argument of a raw call");
        OnlyKeys(j, {"byref"}, where);
        v.kind = ValueKind::ByRef;
        v.items.push_back(ReadValueIn(body, ValueContext::Input));
    } else if (tag == "out") {
        requireContext(argument, "as an argument of a raw call");
        OnlyKeys(j, {"out", "type"}, where);
        v.kind = ValueKind::Out;
        v.text = ReadName(body, "a variable name");
        if (j.contains("type")) {
            v.refType = ReadType(j["type"], "type");
            static const VARTYPE kReferable[] = {VT_VARIANT, VT_I2,   VT_I4,   VT_R4,       VT_R8, VT_CY,
                                                 VT_DATE,    VT_BSTR, VT_BOOL, VT_DISPATCH, VT_UI1};
            if (std::find(std::begin(kReferable), std::end(kReferable), v.refType) == std::end(kReferable))
                Fail("an out-variable cannot be passed as a reference to type " + j["type"].dump());
        }
    } else if (tag == "any") {
        requireContext(pattern, "in an expectation");
        OnlyKeys(j, {"any"}, where);
        v.kind = ValueKind::Any;
    } else if (tag == "type") {
        requireContext(pattern, "in an expectation");
        OnlyKeys(j, {"type"}, where);
        v.kind = ValueKind::TypeOf;
        v.refType = ReadType(body, "type");
    } else if (tag == "prefix") {
        requireContext(pattern, "in an expectation");
        OnlyKeys(j, {"prefix"}, where);
        v = ReadItems(body, "prefix", context);
        v.kind = ValueKind::Prefix;
    } else if (tag == "contains") {
        requireContext(pattern, "in an expectation");
        OnlyKeys(j, {"contains"}, where);
        v.kind = ValueKind::Contains;
        v.text = ReadString(body, "contains");
    }
    return v;
}

// Values nest (arrays in arrays); a hostile file must not exhaust the stack of the reader or of
// the code that builds and compares the values afterwards.
constexpr int kMaxNesting = 64;
thread_local int nesting = 0;

struct NestingGuard {
    NestingGuard() {
        if (++nesting > kMaxNesting) {
            --nesting;
            Fail("values nest deeper than " + std::to_string(kMaxNesting) + " levels");
        }
    }
    ~NestingGuard() { --nesting; }
    NestingGuard(const NestingGuard&) = delete;
    NestingGuard& operator=(const NestingGuard&) = delete;
};

Value ReadValueIn(const json& j, ValueContext context) {
    NestingGuard guard;
    Value v;
    switch (j.type()) {
    case json::value_t::null:
        v.kind = ValueKind::Null;
        break;
    case json::value_t::boolean:
        v.kind = ValueKind::Bool;
        v.boolean = j.get<bool>();
        break;
    case json::value_t::number_integer:
    case json::value_t::number_unsigned:
        v.kind = ValueKind::I4;
        v.integer = ReadInteger(j, INT32_MIN, INT32_MAX, "an integer (write larger numbers as {\"r8\": ...})");
        break;
    case json::value_t::number_float:
        v.kind = ValueKind::R8;
        v.real = j.get<double>();
        break;
    case json::value_t::string:
        v.kind = ValueKind::String;
        v.text = j.get<std::string>();
        break;
    case json::value_t::array:
        v = ReadItems(j, "an array", context);
        break;
    case json::value_t::object:
        v = ReadObject(j, context);
        break;
    default:
        Fail("unsupported JSON value " + j.dump());
    }
    v.source = j.dump();
    return v;
}

std::string ReadVarName(const json& step, const char* key) {
    return ReadName(step[key], (std::string("\"") + key + "\"").c_str());
}

HRESULT ReadHresult(const json& j) {
    if (j.is_number_integer())
        return static_cast<HRESULT>(static_cast<std::uint32_t>(ReadInteger(j, INT32_MIN, UINT32_MAX, "expect_hr")));
    const std::string& text = ReadString(j, "expect_hr");
    if (auto named = HresultFromName(text))
        return *named;
    if (text.size() > 2 && (text.rfind("0x", 0) == 0 || text.rfind("0X", 0) == 0)) {
        std::uint32_t value = 0;
        auto [end, ec] = std::from_chars(text.data() + 2, text.data() + text.size(), value, 16);
        if (ec == std::errc() && end == text.data() + text.size())
            return static_cast<HRESULT>(value);
    }
    Fail("expect_hr " + j.dump() + " is neither a known HRESULT name nor a number such as \"0x80020009\"");
}

WORD ReadFlags(const json& j) {
    if (j.is_number_integer())
        return static_cast<WORD>(ReadInteger(j, 0, 0xFFFF, "flags"));
    // "method", "get", "put", "putref" joined with '|', e.g. "method|get".
    const std::string& text = ReadString(j, "flags");
    WORD flags = 0;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('|', start);
        std::string part = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (part == "method")
            flags |= DISPATCH_METHOD;
        else if (part == "get")
            flags |= DISPATCH_PROPERTYGET;
        else if (part == "put")
            flags |= DISPATCH_PROPERTYPUT;
        else if (part == "putref")
            flags |= DISPATCH_PROPERTYPUTREF;
        else
            Fail("flags " + j.dump() + ": " + Quoted(part) + " is not one of method, get, put, putref");
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return flags;
}

void ReadCallExpectations(const json& j, Step& step) {
    if (j.contains("expect"))
        step.expect = ReadValueIn(j["expect"], ValueContext::Pattern);
    if (j.contains("expect_hr"))
        step.expectHr = ReadHresult(j["expect_hr"]);
    if (j.contains("expect_exception"))
        step.expectException = ReadValueIn(j["expect_exception"], ValueContext::Pattern);
    if (j.contains("expect_out"))
        step.expectVars.emplace_back(step.outVar, ReadValueIn(j["expect_out"], ValueContext::Pattern));
    if (j.contains("expect_vars")) {
        const json& vars = j["expect_vars"];
        if (!vars.is_object())
            Fail("expect_vars must be an object {\"variable\": expectation, ...}, not " + vars.dump());
        for (const auto& item : vars.items())
            step.expectVars.emplace_back(item.key(), ReadValueIn(item.value(), ValueContext::Pattern));
    }
}

Step ReadStepBody(const json& j, int number) {
    if (!j.is_object())
        Fail("a step must be a JSON object, not " + j.dump());
    static const char* const kKinds[] = {"call", "raw", "set", "check", "print", "show_file"};
    std::string kind;
    for (const char* k : kKinds) {
        if (j.contains(k)) {
            if (!kind.empty())
                Fail("a step has one kind, not both " + Quoted(kind) + " and " + Quoted(k));
            kind = k;
        }
    }
    if (kind.empty() && j.contains("dispid"))
        kind = "raw";
    if (kind.empty())
        Fail("unknown step kind; a step has one of the keys call, raw, set, check, print, show_file");

    Step step;
    step.number = number;
    if (kind == "call") {
        OnlyKeys(j, {"call", "in", "out", "timeout", "expect", "expect_hr", "expect_exception", "expect_out",
                     "expect_vars", "comment"},
                 "a call step");
        step.kind = StepKind::Call;
        step.name = ReadName(j["call"], "the command name");
        if (j.contains("in"))
            step.in = ReadValueIn(j["in"], ValueContext::Input);
        if (j.contains("out"))
            step.outVar = ReadVarName(j, "out");
        step.timeout.kind = ValueKind::I4;
        if (j.contains("timeout"))
            step.timeout = ReadValueIn(j["timeout"], ValueContext::Input);
        ReadCallExpectations(j, step);
    } else if (kind == "raw") {
        OnlyKeys(j, {"raw", "dispid", "args", "flags", "result", "expect", "expect_hr", "expect_exception",
                     "expect_vars", "comment"},
                 "a raw step");
        step.kind = StepKind::Raw;
        if (j.contains("raw"))
            step.name = ReadName(j["raw"], "the member name");
        if (j.contains("dispid")) {
            step.dispid = static_cast<DISPID>(ReadInteger(j["dispid"], INT32_MIN, INT32_MAX, "dispid"));
            if (step.name.empty())
                step.name = "#" + std::to_string(*step.dispid);
        }
        if (j.contains("args")) {
            const json& args = j["args"];
            if (!args.is_array())
                Fail("args must be a list of arguments in call order, not " + args.dump());
            for (const auto& arg : args)
                step.args.push_back(ReadValueIn(arg, ValueContext::Argument));
        }
        if (j.contains("flags"))
            step.flags = ReadFlags(j["flags"]);
        if (j.contains("result"))
            step.resultVar = ReadVarName(j, "result");
        ReadCallExpectations(j, step);
    } else if (kind == "set") {
        OnlyKeys(j, {"set", "at", "value", "comment"}, "a set step");
        step.kind = StepKind::Set;
        step.name = ReadVarName(j, "set");
        if (!j.contains("value"))
            Fail("a set step needs \"value\"");
        if (j.contains("at"))
            step.path = ReadPath(j["at"]);
        step.value = ReadValueIn(j["value"], ValueContext::Input);
    } else if (kind == "check") {
        OnlyKeys(j, {"check", "at", "is", "comment"}, "a check step");
        step.kind = StepKind::Check;
        step.name = ReadVarName(j, "check");
        if (!j.contains("is"))
            Fail("a check step needs \"is\"");
        if (j.contains("at"))
            step.path = ReadPath(j["at"]);
        step.value = ReadValueIn(j["is"], ValueContext::Pattern);
    } else if (kind == "print") {
        OnlyKeys(j, {"print", "at", "comment"}, "a print step");
        step.kind = StepKind::Print;
        step.name = ReadVarName(j, "print");
        if (j.contains("at"))
            step.path = ReadPath(j["at"]);
    } else {
        OnlyKeys(j, {"show_file", "expect_contains", "comment"}, "a show_file step");
        step.kind = StepKind::ShowFile;
        step.file = ReadName(j["show_file"], "show_file");
        if (j.contains("expect_contains")) {
            const json& texts = j["expect_contains"];
            if (texts.is_array()) {
                for (const auto& text : texts)
                    step.expectContains.push_back(ReadString(text, "expect_contains"));
            } else {
                step.expectContains.push_back(ReadString(texts, "expect_contains"));
            }
        }
    }
    return step;
}

std::string AtLineColumn(std::string_view text, std::size_t byte) {
    std::size_t line = 1, column = 1;
    for (std::size_t i = 0; i < byte && i < text.size(); ++i) {
        if (text[i] == '\n') {
            ++line;
            column = 1;
        } else {
            ++column;
        }
    }
    return "line " + std::to_string(line) + ", column " + std::to_string(column);
}

} // namespace

json ParseJson(std::string_view text) {
    try {
        return json::parse(text.begin(), text.end());
    } catch (const json::parse_error& e) {
        // The library's own text repeats the position as a byte offset; keep only its reason.
        std::string reason = e.what();
        auto colon = reason.find(": ");
        if (colon != std::string::npos)
            reason = reason.substr(colon + 2);
        // The offset counts the byte after the one it stopped at.
        throw ScenarioError("malformed JSON at " + AtLineColumn(text, e.byte > 0 ? e.byte - 1 : 0) + ": " + reason);
    } catch (const json::exception& e) {
        // A number too large for a double ("1E999") is refused by the parser as out of range,
        // not as a syntax error; it is malformed input all the same.
        std::string reason = e.what();
        auto bracket = reason.find("] ");
        if (bracket != std::string::npos)
            reason = reason.substr(bracket + 2);
        throw ScenarioError("malformed JSON: " + reason);
    }
}

std::string Step::Label() const {
    std::string label = number > 0 ? "step " + std::to_string(number) : std::string("lifecycle");
    if (!name.empty())
        label += " (" + name + ")";
    return label;
}

Step ReadStep(const json& j, int number) {
    try {
        return ReadStepBody(j, number);
    } catch (const ScenarioError& e) {
        throw ScenarioError("step " + std::to_string(number) + ": " + e.what());
    } catch (const json::exception& e) {
        throw ScenarioError("step " + std::to_string(number) + ": " + e.what());
    }
}

Scenario ParseScenario(std::string_view text) {
    json root = ParseJson(text);
    if (!root.is_object())
        throw ScenarioError("a scenario is a JSON object with a \"steps\" list");
    Scenario scenario;
    try {
        OnlyKeys(root, {"description", "device_id", "lifecycle", "steps"}, "the scenario");
        if (root.contains("description"))
            scenario.description = ReadString(root["description"], "description");
        if (root.contains("device_id")) {
            scenario.deviceId = ReadString(root["device_id"], "device_id");
            scenario.deviceIdGiven = true;
        }
        if (root.contains("lifecycle")) {
            const std::string& mode = ReadString(root["lifecycle"], "lifecycle");
            if (mode == "full")
                scenario.lifecycle = Lifecycle::Full;
            else if (mode == "open")
                scenario.lifecycle = Lifecycle::Open;
            else if (mode == "none")
                scenario.lifecycle = Lifecycle::None;
            else
                Fail("lifecycle " + Quoted(mode) + " is not one of full, open, none");
        }
        if (!root.contains("steps") || !root["steps"].is_array())
            Fail("a scenario needs a \"steps\" list");
    } catch (const json::exception& e) {
        throw ScenarioError(e.what());
    }
    int number = 0;
    for (const auto& step : root["steps"])
        scenario.steps.push_back(ReadStep(step, ++number));
    CheckVariables(scenario);
    return scenario;
}

Step ParseStep(std::string_view text, int number) {
    return ReadStep(ParseJson(text), number);
}

Value ParseValue(std::string_view text, ValueContext context) {
    json j = ParseJson(text);
    try {
        return ReadValueIn(j, context);
    } catch (const json::exception& e) {
        throw ScenarioError(e.what());
    }
}

namespace {

void UsesIn(const Value& v, const std::set<std::string>& known, const Step& step) {
    if (v.kind == ValueKind::Var && !known.count(v.text))
        throw ScenarioError(step.Label() + ": unknown variable " + Quoted(v.text) +
                            " (no earlier step gives it a value)");
    for (const auto& item : v.items)
        UsesIn(item, known, step);
}

} // namespace

void CheckVariables(const Scenario& scenario) {
    std::set<std::string> known;
    if (scenario.lifecycle != Lifecycle::None)
        known.insert("ErrorText");
    auto require = [&](const std::string& name, const Step& step) {
        if (!known.count(name))
            throw ScenarioError(step.Label() + ": unknown variable " + Quoted(name) +
                                " (no earlier step gives it a value)");
    };
    for (const auto& step : scenario.steps) {
        switch (step.kind) {
        case StepKind::Call:
            UsesIn(step.in, known, step);
            UsesIn(step.timeout, known, step);
            known.insert(step.outVar);
            break;
        case StepKind::Raw:
            for (const auto& arg : step.args) {
                UsesIn(arg, known, step);
                if (arg.kind == ValueKind::Out)
                    known.insert(arg.text);
            }
            if (!step.resultVar.empty())
                known.insert(step.resultVar);
            break;
        case StepKind::Set:
            UsesIn(step.value, known, step);
            if (!step.path.empty())
                require(step.name, step);
            known.insert(step.name);
            break;
        case StepKind::Check:
        case StepKind::Print:
            require(step.name, step);
            break;
        case StepKind::ShowFile:
            break;
        }
        for (const auto& [name, pattern] : step.expectVars)
            require(name, step);
    }
}

} // namespace host
