// Opening the shift and reading the printer's state through the host's commands.
#include "FiscalTestSupport.h"

using namespace fiscaltest;

namespace {

LONG StateOf(const TCommandAnswer& answer) {
    return ArrayReader(answer.OutData.Raw()).Item(5).AsInteger();
}

} // namespace

TEST_F(DriverTest, OpenDayOpensTheShiftAndNumbersTheDocument) {
    Up();
    EXPECT_EQ(StateOf(Command(Disp(), idGetFPStateInfo)), 1) << "closed";
    TCommandAnswer opened = Command(Disp(), idOpenDay, MakeVariantArray({Variant::FromUtf8("ignored")}));
    ASSERT_TRUE(opened.Ok) << opened.Text();
    EXPECT_EQ(Calls("ShiftOpen")[0]["args"], json::parse(R"([""])"));
    ArrayReader out(opened.OutData.Raw());
    EXPECT_EQ(out.Item(0).AsInteger(), 1) << "the shift after the last closed one";
    const std::vector<json> words = Calls("GetFldWord");
    EXPECT_EQ(out.Item(1).AsInteger(), words.back()["rc"].get<int>()) << "word field 6 of GetNumbers";
    EXPECT_EQ(out.Item(2).AsInteger(), words[words.size() - 2]["rc"].get<int>()) << "word field 5";
    EXPECT_EQ(StateOf(Command(Disp(), idGetFPStateInfo)), 0) << "open";
}

TEST_F(DriverTest, OpenDayOnAnOpenShiftSucceedsAndALostSessionIsRestartedOnce) {
    Up();
    ASSERT_TRUE(Command(Disp(), idOpenDay).Ok);
    EXPECT_TRUE(Command(Disp(), idOpenDay).Ok) << "the printer's 'already open' counts as done";

    Faults(R"({"rules": [{"fn": "ShiftOpen", "code": 7, "call": 1}]})");
    ASSERT_TRUE(Command(Disp(), idEnable).Ok);
    EXPECT_TRUE(Command(Disp(), idOpenDay).Ok);
    EXPECT_EQ(Calls("StartSeans").size(), 3u) << "two connects and one restart";

    Faults(R"({"rules": [{"fn": "ShiftOpen", "code": 7}]})");
    ASSERT_TRUE(Command(Disp(), idEnable).Ok);
    TCommandAnswer failed = Command(Disp(), idOpenDay);
    EXPECT_EQ(failed.Code(), 1001);
    EXPECT_NE(failed.Text().find("(7)"), std::string::npos);
}

TEST_F(DriverTest, UnknownDocumentNumbersStayMinusOne) {
    Faults(R"({"rules": [{"fn": "GetNumbers", "code": 194}, {"fn": "GetResource", "code": 194}]})");
    Up();
    TCommandAnswer opened = Command(Disp(), idOpenDay);
    ASSERT_TRUE(opened.Ok) << "a failing GetNumbers does not fail the document";
    ArrayReader out(opened.OutData.Raw());
    for (LONG i = 0; i < 3; ++i)
        EXPECT_EQ(out.Item(i).AsInteger(), -1) << i;
}

TEST_F(DriverTest, StateQueryFailureIsTranslated) {
    Up();
    Faults(R"({"silent": true})");
    Driver->DisconnectPrinter();
    TCommandAnswer state = Command(Disp(), idGetFPStateInfo);
    EXPECT_FALSE(state.Ok);
    EXPECT_NE(state.Code(), 0);
}
