// What the printer keeps across processes, and what it does with state files it cannot trust.
#include "EmulatorTestSupport.h"

#include "emulator/StateFiles.h"

#include <gtest/gtest.h>

namespace azimuth::test {
namespace {

class StateTest : public ::testing::Test {
protected:
    StateDir dir;
};

TEST_F(StateTest, FiscalMemoryAndAnOpenReceiptSurviveTheProcess) {
    {
        auto p = FrozenPrinter(dir);
        Answer a;
        ASSERT_EQ(p->StartReceipt(0), kOk);
        ASSERT_EQ(p->AddItem(A("САХАР"), "1", " ", "", 8990, 1500), kOk);
        ASSERT_EQ(p->Adjust(true, 0, 85, ""), kOk);
        ASSERT_EQ(p->Tax(1), kOk);
        ASSERT_EQ(p->Total(), kOk);
        ASSERT_EQ(p->Pay(1, 5000, A("КАРТА"), a), kOk);
    } // the process ends in the middle of the receipt
    Printer p(dir.Port(), "COM1");
    ASSERT_TRUE(p.DocumentOpen());
    const Receipt& r = p.Memory().document->receipt;
    ASSERT_EQ(r.items.size(), 1u);
    EXPECT_EQ(r.items[0].name, A("САХАР"));
    EXPECT_EQ(r.items[0].Net(), 13485 - 85);
    EXPECT_EQ(r.items[0].taxGroup, 1);
    EXPECT_EQ(r.Paid(), 5000);
    EXPECT_EQ(r.payments[0].text, A("КАРТА"));
    EXPECT_TRUE(p.Memory().shiftOpen);

    Answer a;
    ASSERT_EQ(p.Pay(0, 8400, "", a), kOk);
    ASSERT_EQ(p.CloseReceipt(), kOk);
    Printer again(dir.Port(), "COM1");
    EXPECT_FALSE(again.DocumentOpen());
    EXPECT_EQ(again.Memory().shift.sales, 13400);
    EXPECT_EQ(again.Memory().shift.salesByPayment[0], 8400);
    EXPECT_EQ(again.Memory().cash, 8400);
    EXPECT_EQ(again.Memory().receiptNumber, 1);
}

TEST_F(StateTest, ProgrammedSettingsAreKeptInTheConfiguration) {
    {
        auto p = FrozenPrinter(dir);
        ASSERT_EQ(p->SetTail({A("ДО СВИДАНИЯ"), "", "", ""}), kOk);
        ASSERT_EQ(p->SetPayment(1, A("  КАРТА  ")), kOk);
        ASSERT_EQ(p->SetTax(5, A("НДС"), "20"), kOk);
        ASSERT_EQ(p->SetParamDoc(0x1A0, 0x20), kOk);
        ASSERT_EQ(p->ChangeBaudrate("115200"), kOk);
        EXPECT_EQ(p->ChangeBaudrate("12345"), kBadArgument);
        EXPECT_EQ(p->SetPayment(6, "X"), kBadArgument);
        EXPECT_EQ(p->SetTax(1, "X", "1.001"), kBadArgument);
    }
    Printer p(dir.Port(), "COM1");
    EXPECT_EQ(p.Config().tail[0], A("ДО СВИДАНИЯ"));
    EXPECT_EQ(p.Config().payments[1], A("КАРТА"));
    EXPECT_EQ(p.Config().taxes[5].rate, 2000);
    EXPECT_EQ(p.Config().paramDoc1, 0x1A0);
    EXPECT_EQ(p.Config().paramDoc2, 0x20);
    EXPECT_EQ(p.Config().baudRate, 115200);
    EXPECT_TRUE(p.Config().clock.frozenAt.has_value()) << "programming keeps what the integrator configured";
}

TEST_F(StateTest, TaxRatesChangeOnlyBetweenShifts) {
    auto p = FrozenPrinter(dir);
    ASSERT_EQ(p->ShiftOpen(), kOk);
    EXPECT_EQ(p->SetTax(1, "X", "20"), kShiftMustBeClosed);
    ASSERT_EQ(p->ShiftClose(), kOk);
    EXPECT_EQ(p->SetTax(1, "X", "20"), kOk);
}

TEST_F(StateTest, SetDateReturnsThePrinterClockToTheComputer) {
    dir.Write("COM1", files::kConfig, R"({"clock": {"frozenAt": "2020-01-01 00:00:00", "offsetSeconds": 3600}})");
    Printer p(dir.Port(), "COM1");
    ASSERT_EQ(p.SetDate(), kOk);
    EXPECT_FALSE(p.Config().clock.frozenAt.has_value());
    EXPECT_EQ(p.Config().clock.offsetSeconds, 0);
    EXPECT_LE(std::abs(p.Now() - HostNow()), 5);
}

TEST_F(StateTest, DamagedStateFilesAreRefusedWithTheFileNamed) {
    struct Case {
        const char* file;
        const char* content;
    } cases[] = {
        {files::kMemory, "{\"shiftOpen\": tru"},
        {files::kMemory, "[]"},
        {files::kMemory, "{\"cash\": -5}"},
        {files::kMemory, "{\"documentNumber\": 1.5}"},
        {files::kMemory, "{\"shiftOpen\": true}"},
        {files::kMemory, "{\"shift\": {\"sales\": \"many\"}}"},
        {files::kMemory, "{\"shift\": {\"salesByPayment\": [1, 2]}}"},
        {files::kMemory, "{\"document\": {\"kind\": \"slip\"}}"},
        {files::kMemory, "{\"document\": {\"kind\": \"receipt\", \"receipt\": {\"items\": [{\"price\": 100}]}}}"},
        {files::kMemory, "{\"document\": {\"kind\": \"receipt\", \"receipt\": {\"items\": "
                         "[{\"price\": 100, \"quantity\": 1000, \"discounts\": 101}]}}}"},
        {files::kMemory, "{\"document\": {\"kind\": \"receipt\", \"receipt\": {\"items\": "
                         "[{\"price\": 100, \"quantity\": 1000}], \"payments\": [{\"amount\": 100}]}}}"},
        {files::kConfig, "{\"baudRate\": \"fast\"}"},
        {files::kConfig, "{\"taxes\": [1, 2]}"},
        {files::kConfig, "{\"paramDoc1\": 65536}"},
        {files::kConfig, "{\"clock\": {\"frozenAt\": \"2024-02-30 00:00:00\"}}"},
        {files::kConfig, "\xEF\xBB"},
    };
    for (const auto& c : cases) {
        dir.Write("COM1", files::kConfig, "{}");
        dir.Write("COM1", files::kMemory, "{}");
        dir.Write("COM1", c.file, c.content);
        try {
            Printer p(dir.Port(), "COM1");
            ADD_FAILURE() << c.file << " accepted: " << c.content;
        } catch (const StateError& e) {
            EXPECT_NE(std::string(e.what()).find(c.file), std::string::npos) << e.what();
        }
    }
}

TEST_F(StateTest, EveryWriteReplacesTheFileWhole) {
    auto p = FrozenPrinter(dir);
    const std::string before = dir.Read("COM1", files::kConfig);
    // Something in the way of the temporary file: the write fails, nothing changes.
    std::filesystem::create_directories(dir.Port() / "fiscal.json.tmp" / "x");
    std::filesystem::create_directories(dir.Port() / "config.json.tmp" / "x");
    EXPECT_EQ(p->StartReceipt(0), kStorageFailed);
    EXPECT_FALSE(p->DocumentOpen());
    EXPECT_FALSE(p->Memory().shiftOpen);
    EXPECT_FALSE(dir.Exists("COM1", files::kPaper)) << "nothing is printed that is not recorded";
    EXPECT_EQ(p->SetHeader({"X", "", "", ""}), kStorageFailed);
    EXPECT_EQ(p->Config().header[0], A("ДОБРО ПОЖАЛОВАТЬ!"));
    EXPECT_EQ(dir.Read("COM1", files::kConfig), before);

    std::filesystem::remove_all(dir.Port() / "fiscal.json.tmp");
    std::filesystem::remove_all(dir.Port() / "config.json.tmp");
    ASSERT_EQ(p->StartReceipt(0), kOk);
    ASSERT_EQ(p->SetParamDoc(0x1B0, 0), kDocumentOpen);
    for (const auto& entry : std::filesystem::directory_iterator(dir.Port()))
        EXPECT_NE(entry.path().extension(), ".tmp") << entry.path();
}

TEST(StateFiles, PortNamesCannotLeaveTheStateDirectory) {
    EXPECT_EQ(NormalizePort("com1"), "COM1");
    EXPECT_EQ(NormalizePort("COM12"), "COM12");
    for (const char* bad : {"", "..", "../COM1", "C:\\COM1", "COM1/..", "COM 1", "AVERYLONGPORTNAME1"})
        EXPECT_FALSE(NormalizePort(bad).has_value()) << bad;
}

} // namespace
} // namespace azimuth::test
