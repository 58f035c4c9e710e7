#include "LogReplay.h"

#include "framework/uCommonUtils.h"

#include <gtest/gtest.h>

#include <sstream>

using host::LogReplayError;
using host::ScenarioFromLog;
using host::ValueFromLogText;
using nlohmann::json;

TEST(LogReplay, ValuesComeBackInTheScenarioNotation) {
    EXPECT_EQ(ValueFromLogText("EMPTY"), json({{"empty", true}}));
    EXPECT_EQ(ValueFromLogText("[(1; 'x'; NULL; True; -2,5; 0.25)]"), json::parse(R"([1, "x", null, true, -2.5, 0.25])"));
    EXPECT_EQ(ValueFromLogText("[()]"), json::array());
    EXPECT_EQ(ValueFromLogText("08.12.2026 10:00:00"), json({{"date", "2026-12-08T10:00:00"}}));
    EXPECT_EQ(ValueFromLogText("08.12.2026"), json({{"date", "2026-12-08"}}));
    EXPECT_EQ(ValueFromLogText("4294967296"), json(4294967296.0));
    // Two dimensions: each inner group is one item.
    EXPECT_EQ(ValueFromLogText("[([((1; 'a')(2; 'b'))]; [(3)])]"),
              json::parse(R"([{"rows": [[1, "a"], [2, "b"]]}, [3]])"));
    // Apostrophes inside a string are not escaped; a line break was written as \n.
    EXPECT_EQ(ValueFromLogText("[('Молоко 'Луг''; 'a\\nb'; 'x); y')]"),
              json::parse(R"(["Молоко 'Луг'", "a\r\nb", "x); y"])"));
}

TEST(LogReplay, UnreadableValuesAreRefused) {
    for (const char* text : {"[(1; 2", "'open", "[(((1)))]", "what", "[(1)] tail"})
        EXPECT_THROW(ValueFromLogText(text), LogReplayError) << text;
}

TEST(LogReplay, CommandsBetweenEnableAndDisableBecomeSteps) {
    const std::string inst = " Inst.: {A}\t";
    const std::string other = " Inst.: {B}\t";
    std::stringstream log;
    log << "t" << inst << "device ID: \t7\r\n"
        << "t" << inst << "TaxesParams: \t'0=" << Utf8ToAnsi("БЕЗ НДС") << "=0'\r\n"
        << "t" << inst << "> OpenDay: \tInData: EMPTY\r\n"
        << "t" << inst << "< OpenDay: \tResult=True; OutData: [(1; 0; 0; 08.12.2026 12:21:33)]\r\n"
        << "t" << other << "> PrintXReport: \tInData: EMPTY\r\n"
        << "t" << inst << "> PrintText: \tInData: '" << Utf8ToAnsi("Чек") << "'\r\n"
        << "t" << inst << "< PrintText: \tResult=False; OutData: [(1008; 'x')]\r\n"
        << "t" << inst << "> GetParamValue: \tParams: [('a')]\r\n"
        << "t" << inst << "> Disable: \tInData: EMPTY\r\n";
    const host::LogReplay replay = ScenarioFromLog(log);
    EXPECT_EQ(replay.scenario["device_id"], "7");
    EXPECT_EQ(replay.scenario["steps"], json::parse(R"([{"call": "OpenDay", "expect": true},
                                                         {"call": "PrintText", "in": "Чек", "expect": false}])"));
    EXPECT_GE(replay.notes.size(), 3u); // the raw method, the other object, the lost types

    std::stringstream bad("t" + inst + "> PrintText: \tInData: 'open\r\n");
    try {
        ScenarioFromLog(bad);
        FAIL();
    } catch (const LogReplayError& e) {
        EXPECT_NE(std::string(e.what()).find("line 1"), std::string::npos);
    }
}
