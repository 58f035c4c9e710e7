#include "FakeDriver.h"

#include "EquipmentManager.h"
#include "Runner.h"
#include "ScenarioReader.h"
#include "ValuePrinter.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

using namespace host;

namespace {

class RunnerTest : public testing::Test {
protected:
    RunnerTest() : manager(Config()), runner(&driver, &manager, out) {}

    static ManagerConfig Config() {
        ManagerConfig config;
        config.properties["DevicesFolder"] = "C:\\Data";
        return config;
    }

    std::vector<std::string> RunText(const std::string& scenario) {
        return runner.RunScenario(ParseScenario(scenario));
    }

    FakeDriver driver;
    EquipmentManager manager;
    std::ostringstream out;
    Runner runner;
};

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

} // namespace

TEST_F(RunnerTest, LifecycleSurroundsTheSteps) {
    EXPECT_TRUE(RunText(R"({"steps": [{"call": "GetSettings", "expect": true}]})").empty()) << out.str();
    EXPECT_EQ(driver.calls,
              (std::vector<std::string>{"Init", "Open", "Enable", "GetSettings", "Disable", "Close"}));
    // The driver reached the equipment manager through late binding with a by-reference string.
    EXPECT_EQ(driver.devicesFolder, "C:\\Data");
    EXPECT_TRUE(Contains(out.str(), "[-] < Init  Result=True; Params: [($"));
    EXPECT_TRUE(Contains(out.str(), "'Нет ошибок')]")) << out.str();
    EXPECT_EQ(manager.ExtraReferences(), 0);
}

TEST_F(RunnerTest, TakesDownOnlyWhatWasBroughtUp) {
    driver.answersFalse = "Enable";
    auto failures = RunText(R"({"steps": [{"call": "GetSettings"}]})");
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0], "lifecycle (Enable): result: expected true, got False (VT_BOOL)");
    EXPECT_EQ(driver.calls, (std::vector<std::string>{"Init", "Open", "Enable", "Disable", "Close"}));

    driver.calls.clear();
    driver.answersFalse = "Init";
    failures = RunText(R"({"steps": [{"call": "GetSettings"}]})");
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(driver.calls, (std::vector<std::string>{"Init", "Close"}));

    // A stop call that fails after a passing scenario fails the run too.
    driver.calls.clear();
    driver.answersFalse = "Disable";
    failures = RunText(R"({"steps": []})");
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0], "lifecycle (Disable): result: expected true, got False (VT_BOOL)");
    EXPECT_EQ(driver.calls.back(), "Close");
}

TEST_F(RunnerTest, SettingsRoundTripThroughVariables) {
    auto failures = RunText(R"({"lifecycle": "none", "steps": [
        {"call": "GetSettings", "out": "settings"},
        {"set": "settings", "at": [0, [1, 0]], "value": true},
        {"call": "SetSettings", "in": [{"var": "settings", "at": 0}], "expect": true},
        {"call": "GetSettings", "out": "again",
         "expect_out": [{"array2d": [["DebugLogEnabled", "PortNumber"], [true, 1]]}]},
        {"check": "again", "at": [0, [1, 0]], "is": true}
    ]})");
    EXPECT_TRUE(failures.empty()) << failures.front() << "\n" << out.str();
    // The log notation prints the highest dimension outermost: one group per setting.
    EXPECT_TRUE(Contains(out.str(), "[5] check again(0)(1, 0) = True: ok")) << out.str();
    EXPECT_TRUE(Contains(out.str(), "OutData: [([(('DebugLogEnabled'; True)('PortNumber'; 1))])]")) << out.str();
}

TEST_F(RunnerTest, FailedExpectationNamesTheStepAndStopsButTakesTheDeviceDown) {
    auto failures = RunText(R"({"steps": [
        {"call": "GetSettings"},
        {"call": "Fail", "expect": true},
        {"call": "GetSettings"}
    ]})");
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0], "step 2 (Fail): result: expected true, got False (VT_BOOL)");
    EXPECT_EQ(driver.calls,
              (std::vector<std::string>{"Init", "Open", "Enable", "GetSettings", "Fail", "Disable", "Close"}));
}

TEST_F(RunnerTest, PartialExpectationsOnOutData) {
    EXPECT_TRUE(RunText(R"({"lifecycle": "none", "steps": [
        {"call": "Fail", "expect": false, "expect_out": [1004, {"any": true}]},
        {"call": "Fail", "expect_out": {"prefix": [1004]}},
        {"call": "Fail", "expect_out": [{"i4": 1004}, {"contains": "входных"}]}
    ]})").empty()) << out.str();

    auto failures = RunText(R"({"lifecycle": "none", "steps": [
        {"call": "Fail", "expect_out": [1003, {"any": true}]}
    ]})");
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0], "step 1 (Fail): OutData (0): expected 1003, got 1004 (VT_I4)");

    failures = RunText(R"({"lifecycle": "none", "steps": [{"call": "Fail", "expect_out": [{"i2": 1004}, {"any": true}]}]})");
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_TRUE(Contains(failures[0], "(0): expected {\"i2\":1004}, got 1004 (VT_I4)")) << failures[0];
}

TEST_F(RunnerTest, HresultsAndExceptions) {
    EXPECT_TRUE(RunText(R"({"lifecycle": "none", "steps": [
        {"call": "NoSuchCommand", "expect_hr": "E_NOTIMPL"},
        {"raw": "Enable", "args": [{"empty": true}, {"out": "o"}], "expect_hr": "E_INVALIDARG"},
        {"raw": "Throw", "expect_hr": "DISP_E_EXCEPTION", "expect_exception": "Менеджер оборудования недоступен"},
        {"dispid": 3, "flags": "get", "expect_hr": "E_FAIL"}
    ]})").empty()) << out.str();
    EXPECT_TRUE(Contains(out.str(), "! exception scode=1001 source='EDriverError'")) << out.str();

    // An unexpected HRESULT fails the step even when no expectation was written.
    auto failures = RunText(R"({"lifecycle": "none", "steps": [{"raw": "Throw"}]})");
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0],
              "step 1 (Throw): expected HRESULT S_OK, got DISP_E_EXCEPTION 'Менеджер оборудования недоступен'");
    failures = RunText(R"({"lifecycle": "none", "steps": [{"call": "Enabel"}]})");
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_TRUE(Contains(failures[0], "step 1 (Enabel): the driver does not know the name")) << failures[0];
}

TEST_F(RunnerTest, ArgumentsArriveInTheHostsOrderAndTypes) {
    // The timeout is the third argument in call order, so the first in rgvarg.
    EXPECT_TRUE(RunText(R"({"lifecycle": "none", "steps": [{"call": "GetSettings", "timeout": {"i2": 5}}]})").empty());
    EXPECT_EQ(driver.lastTimeoutType, VT_I2);
    EXPECT_FALSE(RunText(R"({"lifecycle": "none", "steps": [{"call": "GetSettings", "timeout": "5"}]})").empty());
    EXPECT_EQ(driver.lastTimeoutType, VT_BSTR);

    // A typed by-reference string receives the text and lands in the variable.
    EXPECT_TRUE(RunText(R"({"lifecycle": "none", "steps": [
        {"raw": "Init", "args": [{"dispatch": "manager"}, {"out": "err", "type": "bstr"}], "expect": true,
         "expect_vars": {"err": "Нет ошибок"}},
        {"raw": "Init", "args": [{"unknown": "manager"}, {"out": "err"}], "expect": false,
         "expect_vars": {"err": "Ошибка входных параметров команды"}}
    ]})").empty()) << out.str();
    EXPECT_EQ(LogText(runner.Vars().Get("err").Raw()), "'Ошибка входных параметров команды'");
}

TEST_F(RunnerTest, StepsThatCannotRunFailCleanly) {
    auto failures = RunText(R"({"lifecycle": "none", "steps": [
        {"call": "GetSettings", "out": "s"},
        {"set": "s", "at": [0, [1, 5]], "value": true}
    ]})");
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0], "step 2 (s): element (0)(1, 5): index 5 is outside 0..1");

    failures = RunText(R"({"lifecycle": "none", "steps": [
        {"call": "GetSettings", "out": "s"}, {"check": "s", "at": [[0, 0]], "is": 1}]})");
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0], "step 2 (s): element (0, 0): the array has 1 dimension(s), the subscript 2");

    failures = RunText(R"({"lifecycle": "none", "steps": [{"show_file": "Debug_{today}.log"}]})");
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_TRUE(Contains(failures[0], "step 1: file Debug_")) << failures[0];
}

TEST_F(RunnerTest, BriefAccountShowsWhatMattersAndThePaperEachCallPrinted) {
    std::ostringstream brief;
    driver.paperFile = testing::TempDir() + "runner-paper.txt";
    std::ofstream(driver.paperFile) << "a document of an earlier run\n";
    Runner shown(&driver, &manager, out, RunnerConfig{{}, &brief, driver.paperFile});
    EXPECT_TRUE(shown.RunScenario(ParseScenario(R"({"lifecycle": "none", "steps": [
        {"call": "GetSettings", "out": "s"}, {"call": "Fail", "expect": false}, {"call": "Print"},
        {"print": "s", "at": [0]}, {"check": "s", "at": [0, [0, 1]], "is": "PortNumber"}]})")).empty());
    EXPECT_EQ(brief.str(), "  [1]   GetSettings            True  s table of 2 rows × 2 columns\n"
                           "        | 'DebugLogEnabled' | False\n"
                           "        | 'PortNumber' | 1\n"
                           "  [2]   Fail                   False  error 1004: Ошибка входных параметров команды\n"
                           "  [3]   Print                  True\n"
                           "        paper:\n"
                           "        | printed\n"
                           "  [4]   s(0) = table of 2 rows × 2 columns\n");
    EXPECT_EQ(shown.Documents(), 1);
    const Variant longList = MakeVariantArray(std::vector<Variant>(30, Variant(12345)));
    EXPECT_EQ(BriefValue(longList.Raw(), 20), "30 values [12345; 12345; 12345; …]");
}
