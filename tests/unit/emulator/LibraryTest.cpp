// The library instance: connecting to a port's printer, and the faults an integrator rehearses.
#include "EmulatorTestSupport.h"

#include "emulator/Library.h"
#include "emulator/StateFiles.h"

#include <gtest/gtest.h>

namespace azimuth::test {
namespace {

class LibraryTest : public ::testing::Test {
protected:
    Code Connect(const char* port = "COM1", const char* baud = "19200", const char* password = "QWTZ") {
        return lib.Open("OpenDLLPlus", A("Кассир"), password, port, baud, true);
    }
    Code Start(int kind = 0) {
        return lib.Command("StartReceipt", true, [&](Printer& p) { return p.StartReceipt(kind); });
    }
    Code Item() {
        return lib.Command("ItemReceipt", true, [](Printer& p) { return p.AddItem("X", " ", " ", "", 1000, 1000); });
    }
    Code Total() {
        return lib.Command("TotalReceipt", true, [](Printer& p) { return p.Total(); });
    }
    Code Pay(std::int32_t amount) {
        return lib.Query("TenderReceipt", true, [&](Printer& p, Answer& a) { return p.Pay(0, amount, "", a); });
    }
    Code Close() {
        return lib.Command("CloseReceipt", true, [](Printer& p) { return p.CloseReceipt(); });
    }
    Code Cancel() {
        return lib.Command("CancelReceipt", false, [](Printer& p) { return p.CancelReceipt(); });
    }
    void Faults(const std::string& json) { dir.Write("COM1", files::kFaults, json); }

    StateDir dir;
    Library lib;
};

TEST_F(LibraryTest, OutOfTheBoxCom1AnswersTheDriversDefaults) {
    EXPECT_EQ(Connect(), kOk);
    EXPECT_EQ(lib.Device()->Config().paramDoc1, 432);
    EXPECT_EQ(lib.Device()->ShiftState(), kStateClosed);
}

TEST_F(LibraryTest, ConnectFailsClearlyForEachReason) {
    EXPECT_EQ(Connect("COM1", "19200", "qwtz"), kWrongPassword);
    EXPECT_EQ(Connect("COM1", "9600"), kNoAnswer) << "at another speed the printer does not answer";
    EXPECT_EQ(Connect("COM1", "fast"), kBadArgument);
    EXPECT_EQ(Connect("COM2"), kNoPrinter);
    EXPECT_EQ(Connect("..\\COM1"), kNoPrinter);
    EXPECT_FALSE(lib.Connected());
    EXPECT_EQ(Start(), kNotConnected);
    dir.Write("COM2", files::kConfig, "{}");
    EXPECT_EQ(Connect("COM2"), kOk) << "a configured port has a printer";
    dir.Write("COM1", files::kConfig, R"({"connected": false})");
    EXPECT_EQ(Connect("COM1"), kNoPrinter);
}

TEST_F(LibraryTest, OpenDllWithoutPasswordAndCloseDropTheConnection) {
    EXPECT_EQ(lib.Open("OpenDLL", A("Кассир"), "", "COM1", "19200", false), kOk);
    EXPECT_EQ(lib.Close(), kOk);
    EXPECT_EQ(lib.Close(), kOk);
    EXPECT_EQ(Start(), kNotConnected);
}

TEST_F(LibraryTest, ChangedSpeedIsTheSpeedOfTheNextConnection) {
    ASSERT_EQ(Connect(), kOk);
    ASSERT_EQ(lib.Command("ChangeBaudrate", false, [](Printer& p) { return p.ChangeBaudrate("57600"); }), kOk);
    EXPECT_EQ(Connect("COM1", "19200"), kNoAnswer);
    EXPECT_EQ(Connect("COM1", "57600"), kOk);
}

TEST_F(LibraryTest, RuleAnswersItsCodeOnTheNthCallOnly) {
    Faults(R"({"rules": [{"fn": "ItemReceipt", "code": 194, "call": 2}]})");
    ASSERT_EQ(Connect(), kOk);
    ASSERT_EQ(Start(), kOk);
    EXPECT_EQ(Item(), kOk);
    EXPECT_EQ(Item(), kNoAnswer);
    EXPECT_EQ(Item(), kOk);
    EXPECT_EQ(lib.Device()->Memory().document->receipt.items.size(), 2u) << "the failed call did nothing";
}

TEST_F(LibraryTest, RuleWithoutCallAnswersEveryCall) {
    Faults(R"({"rules": [{"fn": "StartReceipt", "code": 55}]})");
    ASSERT_EQ(Connect(), kOk);
    EXPECT_EQ(Start(), 55);
    EXPECT_EQ(Start(), 55);
    EXPECT_EQ(lib.LastCode(), 55);
}

TEST_F(LibraryTest, RuleAfterTheCallLosesOnlyTheAnswer) {
    Faults(R"({"rules": [{"fn": "CloseReceipt", "code": 194, "call": 1, "after": true}]})");
    ASSERT_EQ(Connect(), kOk);
    ASSERT_EQ(Start(), kOk);
    ASSERT_EQ(Item(), kOk);
    ASSERT_EQ(Total(), kOk);
    ASSERT_EQ(Pay(1000), kOk);
    EXPECT_EQ(Close(), kNoAnswer);
    EXPECT_FALSE(lib.Device()->DocumentOpen()) << "the printer registered the receipt";
    EXPECT_EQ(lib.Device()->Memory().shift.saleReceipts, 1);
}

// Nothing waits: a report under a time-out shorter than the printer needs for it is printed, and
// the library answers as if the printer had not.
TEST_F(LibraryTest, ReportUnderTooShortATimeoutLosesItsAnswer) {
    const auto x = [&] { return lib.Report("XReport", [](Printer& p) { return p.XReport(); }); };
    ASSERT_EQ(Connect(), kOk);
    EXPECT_EQ(x(), kNoAnswer) << "the library's own time-out";
    EXPECT_EQ(lib.Device()->Memory().shift.xReports, 1) << "printed all the same";
    ASSERT_EQ(lib.SetTimeouts(7000, 7000), kOk);
    EXPECT_EQ(x(), kNoAnswer);
    ASSERT_EQ(lib.SetTimeouts(15000, 15000), kOk);
    ASSERT_EQ(Connect(), kOk);
    EXPECT_EQ(x(), kOk) << "the time-out outlives the connection";
    ASSERT_EQ(Start(), kOk);
    EXPECT_EQ(x(), kDocumentOpen) << "a refusal comes at once";
    ASSERT_EQ(Cancel(), kOk);

    dir.Write("COM1", files::kConfig, R"({"reportTimeoutMs": 0})");
    ASSERT_EQ(lib.SetTimeouts(0, 0), kOk);
    ASSERT_EQ(Connect(), kOk);
    EXPECT_EQ(x(), kOk) << "a printer that reports at once";
}

TEST_F(LibraryTest, SilentPrinterDoesNotEvenConnect) {
    Faults(R"({"silent": true})");
    EXPECT_EQ(Connect(), kNoAnswer);
    EXPECT_FALSE(lib.Connected());
}

TEST_F(LibraryTest, PaperOutStopsPrintingButNotCancelling) {
    ASSERT_EQ(Connect(), kOk);
    ASSERT_EQ(Start(), kOk);
    Faults(R"({"paperOut": true})");
    ASSERT_EQ(Connect(), kOk) << "faults are read again at every connect";
    EXPECT_EQ(Item(), kPaperOut);
    EXPECT_EQ(Pay(0), kPaperOut);
    EXPECT_EQ(lib.LastAnswer().Byte(2), 0) << "a failed payment leaves no answer";
    EXPECT_EQ(Cancel(), kOk);
    EXPECT_EQ(Start(), kPaperOut);
}

TEST_F(LibraryTest, DamagedFaultsFileFailsTheConnectAndSaysWhy) {
    for (const char* json : {R"({"rules": [{"fn": "NoSuchCall", "code": 1}]})",
                             R"({"rules": [{"fn": "GetFldWord", "code": 1}]})",
                             R"({"rules": [{"fn": "CloseReceipt"}]})",
                             R"({"rules": [{"fn": "CloseReceipt", "code": 1, "call": 0}]})",
                             R"({"silent": "yes"})", "not json"}) {
        Faults(json);
        EXPECT_EQ(Connect(), kDamagedState) << json;
        lib.Record("OpenDLLPlus", {}, std::int64_t{kDamagedState});
        const auto journal = dir.Journal();
        ASSERT_FALSE(journal.empty());
        EXPECT_NE(journal.back().value("detail", "").find("faults.json"), std::string::npos) << json;
    }
}

TEST_F(LibraryTest, JournalNumberingContinuesAfterAVeryLongLine) {
    ASSERT_EQ(Connect(), kOk);
    lib.Record("OpenDLLPlus", {}, std::int64_t{0});
    lib.Record("PrintOEMDoc", {std::string(300000, 'T'), std::int64_t{300000}}, std::int64_t{0});
    lib.Record("CloseFDoc", {}, std::int64_t{0});
    const auto journal = dir.Journal();
    ASSERT_EQ(journal.size(), 3u);
    EXPECT_EQ(journal[2]["seq"], 3);
}

TEST_F(LibraryTest, DamagedFiscalMemoryFailsTheConnect) {
    dir.Write("COM1", files::kMemory, "{\"lastClosedShift\": -1}");
    EXPECT_EQ(Connect(), kDamagedState);
    EXPECT_FALSE(lib.Connected());
}

} // namespace
} // namespace azimuth::test
