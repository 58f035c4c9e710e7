#include "ScenarioReader.h"
#include "Values.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace host;

namespace {

Value Read(const std::string& json, ValueContext context = ValueContext::Input) {
    return ParseValue(json, context);
}

// The message of the ScenarioError the text raises, or "" when it reads cleanly.
std::string ErrorOf(const std::string& scenario) {
    try {
        ParseScenario(scenario);
    } catch (const ScenarioError& e) {
        return e.what();
    }
    return "";
}

std::string Steps(const std::string& steps) {
    return R"({"steps": [)" + steps + "]}";
}

} // namespace

TEST(ScenarioValues, PlainJsonGivesTheTypesAHostPasses) {
    EXPECT_EQ(Read("5").kind, ValueKind::I4);
    EXPECT_EQ(Read("-2147483648").integer, INT32_MIN);
    EXPECT_EQ(Read("2.5").kind, ValueKind::R8);
    EXPECT_EQ(Read("true").kind, ValueKind::Bool);
    EXPECT_EQ(Read("null").kind, ValueKind::Null);
    EXPECT_EQ(Read(R"("Кассир")").text, "Кассир");
    EXPECT_EQ(Read(R"({"empty": true})").kind, ValueKind::Empty);
    EXPECT_EQ(Read(R"({"i2": -7})").kind, ValueKind::I2);
    EXPECT_EQ(Read(R"({"ui1": 255})").integer, 255);
    EXPECT_EQ(Read(R"({"r8": 3})").kind, ValueKind::R8);
    // An integer that does not fit VT_I4 is refused rather than silently made a double.
    EXPECT_THROW(Read("2147483648"), ScenarioError);
    EXPECT_THROW(Read(R"({"i2": 40000})"), ScenarioError);
}

TEST(ScenarioValues, CurrencyIsExact) {
    EXPECT_EQ(Read(R"({"cy": "123.45"})").integer, 1234500);
    EXPECT_EQ(Read(R"({"cy": "-0.0001"})").integer, -1);
    EXPECT_EQ(Read(R"({"cy": 7})").integer, 70000);
    EXPECT_EQ(Read(R"({"cy": "922337203685477.5807"})").integer, INT64_MAX);
    for (const char* bad : {R"({"cy": "1.23456"})", R"({"cy": "12,5"})", R"({"cy": "922337203685477.5808"})",
                            R"({"cy": 1.5})", R"({"cy": ""})", R"({"cy": "."})"})
        EXPECT_THROW(Read(bad), ScenarioError) << bad;
}

TEST(ScenarioValues, DatesAreOleDates) {
    EXPECT_DOUBLE_EQ(Read(R"({"date": "1899-12-30"})").real, 0.0);
    EXPECT_DOUBLE_EQ(Read(R"({"date": "1900-01-01T12:00:00"})").real, 2.5);
    // 7 December 2026 15:30 is day 46363 plus 15.5 hours.
    EXPECT_NEAR(Read(R"({"date": "2026-12-07T15:30:00"})").real, 46363 + 15.5 / 24, 1e-9);
    // Before the epoch the time still counts forward from midnight: -1.25 is 29 Dec 1899 06:00.
    EXPECT_DOUBLE_EQ(Read(R"({"date": "1899-12-29T06:00:00"})").real, -1.25);
    for (const char* bad : {R"({"date": "2026-02-29"})", R"({"date": "2026-12-07T24:00:00"})",
                            R"({"date": "07.12.2026"})", R"({"date": "2026-12-07T15:30"})"})
        EXPECT_THROW(Read(bad), ScenarioError) << bad;
}

TEST(ScenarioValues, TwoDimensionalFormsAreAttributeMajor) {
    // array2d lists attribute by attribute: element [a, i] is json[a][i].
    Value byAttribute = Read(R"({"array2d": [["name0", "name1", "name2"], [1, 2, 3]]})");
    ASSERT_EQ(byAttribute.kind, ValueKind::Array2D);
    ASSERT_EQ(byAttribute.items.size(), 2u);
    EXPECT_EQ(byAttribute.items[0].items[2].text, "name2");
    EXPECT_EQ(byAttribute.items[1].items[0].integer, 1);

    // rows lists item by item and ends up in the same layout.
    Value byItem = Read(R"({"rows": [["name0", 1], ["name1", 2], ["name2", 3]]})");
    ASSERT_EQ(byItem.items.size(), 2u);
    ASSERT_EQ(byItem.items[0].items.size(), 3u);
    EXPECT_EQ(byItem.items[0].items[1].text, "name1");
    EXPECT_EQ(byItem.items[1].items[2].integer, 3);

    EXPECT_THROW(Read(R"({"rows": [["a", 1], ["b"]]})"), ScenarioError);
    EXPECT_THROW(Read(R"({"array2d": [1, 2]})"), ScenarioError);
}

TEST(ScenarioValues, ReferencesOnlyWhereAHostCanPassThem) {
    Value out = Read(R"({"out": "err", "type": "bstr"})", ValueContext::Argument);
    EXPECT_EQ(out.kind, ValueKind::Out);
    EXPECT_EQ(out.refType, VT_BSTR);
    EXPECT_EQ(Read(R"({"byref": 5})", ValueContext::Argument).kind, ValueKind::ByRef);
    EXPECT_THROW(Read(R"({"out": "err"})"), ScenarioError);
    EXPECT_THROW(Read(R"([{"out": "err"}])", ValueContext::Argument), ScenarioError);
    EXPECT_THROW(Read(R"({"any": true})"), ScenarioError);
    EXPECT_THROW(Read(R"({"var": "x"})", ValueContext::Pattern), ScenarioError);
    EXPECT_THROW(Read(R"({"dispatch": "driver"})"), ScenarioError);
}

TEST(ScenarioSteps, ReadEveryKind) {
    Scenario s = ParseScenario(R"({
      "device_id": "7", "lifecycle": "open",
      "steps": [
        {"call": "GetSettings", "out": "settings", "expect": true},
        {"set": "settings", "at": [0, [1, 2]], "value": true},
        {"call": "SetSettings", "in": [{"var": "settings", "at": 0}], "expect_out": {"empty": true}},
        {"check": "settings", "at": [0, [1, 2]], "is": true},
        {"raw": "Open", "args": ["7", {"out": "err"}], "flags": "method|get", "expect_hr": "DISP_E_EXCEPTION",
         "expect_exception": {"contains": "недоступен"}},
        {"dispid": 0, "expect_hr": "0x80020009"},
        {"print": "err"},
        {"show_file": "Debug_{today}.log", "expect_contains": "Begin debug log"}
      ]})");
    EXPECT_EQ(s.deviceId, "7");
    EXPECT_EQ(s.lifecycle, Lifecycle::Open);
    ASSERT_EQ(s.steps.size(), 8u);
    EXPECT_EQ(s.steps[0].outVar, "settings");
    EXPECT_EQ(s.steps[1].path, (Path{{0}, {1, 2}}));
    EXPECT_EQ(s.steps[2].expectVars.front().first, "OutData");
    EXPECT_EQ(s.steps[4].flags, DISPATCH_METHOD | DISPATCH_PROPERTYGET);
    EXPECT_EQ(s.steps[4].expectHr, DISP_E_EXCEPTION);
    EXPECT_EQ(s.steps[5].dispid, 0);
    EXPECT_EQ(s.steps[5].expectHr, DISP_E_EXCEPTION);
    EXPECT_EQ(s.steps[7].kind, StepKind::ShowFile);
}

TEST(ScenarioSteps, MalformedInputNamesTheStep) {
    struct Case {
        std::string scenario;
        std::string message; // a part of the message
    } cases[] = {
        {"{\"steps\": [\n  {\"call\": \"Enable\"},\n  {\"call\": }\n]}", "malformed JSON at line 3, column 12"},
        {"[]", "a scenario is a JSON object"},
        {R"({"steps": [{"call": "A", "in": [43E2432]}]})", "malformed JSON: number overflow"},
        {R"({"steps": {}})", "needs a \"steps\" list"},
        {R"({"steps": [], "lifecylce": "none"})", "unknown key 'lifecylce'"},
        {Steps(R"({"call": "Enable"}, {"calll": "Disable"})"), "step 2: unknown step kind"},
        {Steps(R"({"call": "Enable", "raw": "Enable"})"), "step 1: a step has one kind"},
        {Steps(R"({"call": "Enable", "expcet": true})"), "step 1: unknown key 'expcet'"},
        {Steps(R"({"call": 5})"), "step 1: the command name must be a string"},
        {Steps(R"({"call": "A"}, {"call": "B"}, {"call": "C", "in": {"rows": [[1], [1, 2]]}})"),
         "step 3: rows: all lists must have the same length"},
        {Steps(R"({"raw": "Open", "args": "1"})"), "step 1: args must be a list"},
        {Steps(R"({"raw": "Open", "flags": "method|post"})"), "'post' is not one of"},
        {Steps(R"({"call": "A", "expect_hr": "E_WHATEVER"})"), "neither a known HRESULT name"},
        {Steps(R"({"call": "SetSettings", "in": [{"var": "settings"}]})"), "step 1 (SetSettings): unknown variable 'settings'"},
        {Steps(R"({"set": "x", "at": [0], "value": 1})"), "step 1 (x): unknown variable 'x'"},
        {Steps(R"({"call": "A"}, {"check": "result", "is": true})"), "step 2 (result): unknown variable"},
        {Steps(R"({"call": "A", "expect_vars": {"nothing": 1}})"), "step 1 (A): unknown variable 'nothing'"},
        {Steps(R"({"check": "OutData"})"), "step 1: a check step needs \"is\""},
        {Steps(R"({"set": "x", "at": [[1, 2, 3]], "value": 1})"), "one or two indices"},
        {Steps(R"({"call": "A", "in": {"i4": 1, "r8": 2}})"), "one of the keys 'i4' and 'r8'"},
        {Steps(R"({"call": "A", "in": {"mystery": 1}})"), "unknown value form"},
    };
    for (const auto& c : cases) {
        std::string message = ErrorOf(c.scenario);
        EXPECT_NE(message.find(c.message), std::string::npos) << "got: " << message << "\nfor: " << c.scenario;
    }
}

TEST(ScenarioSteps, DeepNestingIsRefusedNotOverflowed) {
    std::string deep = std::string(100000, '[') + std::string(100000, ']');
    EXPECT_NE(ErrorOf(Steps(R"({"call": "A", "in": )" + deep + "}")).find("step 1: values nest deeper than 64"),
              std::string::npos);
    std::string fine = std::string(60, '[') + std::string(60, ']');
    EXPECT_EQ(ErrorOf(Steps(R"({"call": "A", "in": )" + fine + "}")), "");
}

TEST(ScenarioSteps, VariablesComeFromEarlierSteps) {
    // The lifecycle's Init and Open leave ErrorText; an out-argument and a result define theirs.
    EXPECT_EQ(ErrorOf(Steps(R"({"print": "ErrorText"})")), "");
    EXPECT_NE(ErrorOf(R"({"lifecycle": "none", "steps": [{"print": "ErrorText"}]})"), "");
    EXPECT_EQ(ErrorOf(Steps(R"({"raw": "X", "args": [{"out": "a"}], "result": "r"}, {"print": "a"}, {"print": "r"})")),
              "");
    EXPECT_EQ(ErrorOf(Steps(R"({"set": "x", "value": [1]}, {"set": "x", "at": 0, "value": 2})")), "");
}
