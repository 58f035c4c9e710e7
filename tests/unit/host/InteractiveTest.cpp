#include "FakeDriver.h"

#include "EquipmentManager.h"
#include "Interactive.h"
#include "ScenarioReader.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace host;

TEST(PromptLines, CompactSyntaxBecomesSteps) {
    Step s = ParsePromptLine("  GetDeviceInfo ", 1).step;
    EXPECT_EQ(s.kind, StepKind::Call);
    EXPECT_EQ(s.name, "GetDeviceInfo");
    EXPECT_EQ(s.in.kind, ValueKind::Empty);

    s = ParsePromptLine(R"(settings = GetSettings)", 2).step;
    EXPECT_EQ(s.outVar, "settings");

    s = ParsePromptLine(R"(SetSettings [{"var": "settings", "at": 0}])", 3).step;
    EXPECT_EQ(s.in.kind, ValueKind::Array);
    EXPECT_EQ(s.in.items[0].kind, ValueKind::Var);

    s = ParsePromptLine(R"(raw Open ["1", {"out": "err"}])", 4).step;
    EXPECT_EQ(s.kind, StepKind::Raw);
    ASSERT_EQ(s.args.size(), 2u);
    EXPECT_EQ(s.args[1].kind, ValueKind::Out);

    s = ParsePromptLine(R"(set settings at [0, [1, 2]] = true)", 5).step;
    EXPECT_EQ(s.kind, StepKind::Set);
    EXPECT_EQ(s.path, (Path{{0}, {1, 2}}));

    s = ParsePromptLine(R"({"check": "settings", "is": {"any": true}})", 6).step;
    EXPECT_EQ(s.kind, StepKind::Check);

    EXPECT_EQ(ParsePromptLine("# note", 7).kind, PromptLine::Kind::Nothing);
    EXPECT_EQ(ParsePromptLine("quit", 7).kind, PromptLine::Kind::Quit);
}

TEST(PromptLines, BadLinesSayWhy) {
    for (const char* line : {"SetSettings [1,", "raw", "set x = ", "set x at [0] true", "1abc", R"({"call": 1})"}) {
        try {
            ParsePromptLine(line, 9);
            ADD_FAILURE() << line;
        } catch (const ScenarioError& e) {
            EXPECT_NE(std::string(e.what()).find("step 9"), std::string::npos) << e.what();
        }
    }
}

TEST(PromptLines, RunFromAPipe) {
    FakeDriver driver;
    EquipmentManager manager(DefaultManagerConfig("work"));
    std::ostringstream out;
    Runner runner(&driver, &manager, out);
    std::istringstream in("settings = GetSettings\n"
                          "set settings at [0, [1, 1]] = 9\n"
                          "SetSettings [{\"var\": \"settings\", \"at\": 0}]\n"
                          "Bogus [\n"
                          "check settings at [0, [1, 1]] = 9\n");
    int code = RunInteractive(runner, in, out, Lifecycle::Full, "1");
    EXPECT_EQ(code, 1); // the bogus line
    EXPECT_EQ(driver.calls, (std::vector<std::string>{"Init", "Open", "Enable", "GetSettings", "SetSettings",
                                                      "Disable", "Close"}));
    EXPECT_NE(out.str().find("error: step 4: malformed JSON"), std::string::npos) << out.str();
    EXPECT_NE(out.str().find("check settings(0)(1, 1) = 9: ok"), std::string::npos) << out.str();
}
