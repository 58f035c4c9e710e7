// The printer model: shift life cycle, reports and their totals, paper, document parameters.
#include "EmulatorTestSupport.h"

#include "emulator/StateFiles.h"

#include <gtest/gtest.h>

#include <sstream>

namespace azimuth::test {
namespace {

void Sell(Printer& p, std::int32_t price, int type, std::int32_t paid, int kind = 0) {
    Answer answer;
    ASSERT_EQ(p.StartReceipt(kind), kOk);
    ASSERT_EQ(p.AddItem(A("ХЛЕБ"), " ", " ", "", price, 1000), kOk);
    ASSERT_EQ(p.Total(), kOk);
    ASSERT_EQ(p.Pay(type, paid, "", answer), kOk);
    ASSERT_EQ(p.CloseReceipt(), kOk);
}

std::vector<std::string> PaperLines(const StateDir& dir) {
    std::vector<std::string> lines;
    std::istringstream in(dir.Read("COM1", files::kPaper));
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::size_t Columns(const std::string& utf8) { return Utf8ToCp1251(utf8).size(); }

std::size_t IndexOf(const std::vector<std::string>& lines, const std::string& utf8, std::size_t from = 0) {
    for (std::size_t i = from; i < lines.size(); ++i)
        if (lines[i].find(utf8) != std::string::npos)
            return i;
    return std::string::npos;
}

class PrinterTest : public ::testing::Test {
protected:
    StateDir dir;
};

// --- shift -------------------------------------------------------------------------------------

TEST_F(PrinterTest, FiscalReceiptOpensTheShiftOutOfTheBox) {
    auto p = FrozenPrinter(dir);
    EXPECT_EQ(p->ShiftState(), kStateClosed);
    Sell(*p, 4550, 0, 5000);
    EXPECT_EQ(p->ShiftState(), kStateOpen);
    EXPECT_EQ(p->Memory().shiftOpenedAt, *ParseTimestamp("2024-05-18 09:00:00"));
}

TEST_F(PrinterTest, ShiftOlderThan24HoursRefusesFiscalDocumentsUntilTheZReport) {
    Sell(*FrozenPrinter(dir), 100, 0, 100);
    EXPECT_EQ(ReloadAt(dir, "2024-05-19 08:59:59")->ShiftState(), kStateOpen);
    auto p = ReloadAt(dir, "2024-05-19 09:00:00");
    EXPECT_EQ(p->ShiftState(), kStateExpired);
    EXPECT_EQ(p->StartReceipt(0), kShiftExpired);
    EXPECT_EQ(p->CashIn(100), kShiftExpired);
    EXPECT_EQ(p->ShiftOpen(), kAlreadyDone);
    EXPECT_EQ(p->XReport(), kOk);
    EXPECT_EQ(p->ShiftClose(), kOk);
    EXPECT_EQ(p->ShiftState(), kStateClosed);
    Sell(*p, 100, 0, 100);
    EXPECT_EQ(p->ShiftState(), kStateOpen);
}

TEST_F(PrinterTest, ClockOffsetAgesTheShiftToo) {
    Sell(*FrozenPrinter(dir), 100, 0, 100);
    dir.Write("COM1", files::kConfig, R"({"clock": {"frozenAt": "2024-05-18 09:00:00", "offsetSeconds": 90000}})");
    EXPECT_EQ(Printer(dir.Port(), "COM1").ShiftState(), kStateExpired);
}

TEST_F(PrinterTest, ShiftOpenAndCloseAnswerWhenThereIsNothingToDo) {
    auto p = FrozenPrinter(dir);
    EXPECT_EQ(p->ShiftClose(), kShiftClosed);
    EXPECT_EQ(p->ShiftOpen(), kOk);
    EXPECT_EQ(p->ShiftOpen(), kAlreadyDone);
    EXPECT_EQ(p->ShiftClose(), kOk);
    EXPECT_EQ(p->Memory().lastClosedShift, 1);
}

TEST_F(PrinterTest, OpenDocumentBlocksEveryOtherDocument) {
    auto p = FrozenPrinter(dir);
    ASSERT_EQ(p->StartReceipt(0), kOk);
    EXPECT_EQ(p->ShiftOpen(), kDocumentOpen);
    EXPECT_EQ(p->XReport(), kDocumentOpen);
    EXPECT_EQ(p->ShiftClose(), kDocumentOpen);
    EXPECT_EQ(p->StartReceipt(0), kDocumentOpen);
    EXPECT_EQ(p->OpenText(), kDocumentOpen);
    EXPECT_EQ(p->CashIn(100), kDocumentOpen);
    EXPECT_EQ(p->SetHeader({"A", "", "", ""}), kDocumentOpen);
    EXPECT_EQ(p->PrintText("x"), kWrongDocumentState);
    EXPECT_EQ(p->CancelReceipt(), kOk);
    EXPECT_EQ(p->CancelReceipt(), kNoDocument);
    EXPECT_EQ(p->Memory().shift.cancelledReceipts, 1);
}

TEST_F(PrinterTest, ReceiptStepsOutOfOrderAreRefused) {
    auto p = FrozenPrinter(dir);
    Answer a;
    EXPECT_EQ(p->AddItem("X", "", "", "", 100, 1000), kNoDocument);
    EXPECT_EQ(p->CloseReceipt(), kNoDocument);
    ASSERT_EQ(p->StartReceipt(0), kOk);
    EXPECT_EQ(p->StartReceipt(1), kDocumentOpen);
    EXPECT_EQ(p->Total(), kEmptyReceipt);
    EXPECT_EQ(p->CloseReceipt(), kEmptyReceipt);
    ASSERT_EQ(p->AddItem("X", "", "", "", 10000, 1000), kOk);
    EXPECT_EQ(p->Pay(0, 10000, "", a), kWrongDocumentState) << "no payment before the total";
    EXPECT_EQ(p->CloseReceipt(), kWrongDocumentState) << "nor a close";
    ASSERT_EQ(p->Comment("C"), kOk) << "comments go anywhere";
    ASSERT_EQ(p->Total(), kOk);
    EXPECT_EQ(p->AddItem("Y", "", "", "", 100, 1000), kWrongDocumentState);
    EXPECT_EQ(p->Pay(7, 100, "", a), kBadArgument);
    EXPECT_TRUE(p->Memory().document->receipt.payments.empty());
}

// The status byte of a payment reads 5 in its low three bits once the receipt is paid; the bits
// above count the payments, so a reader that compares the whole byte with 5 goes wrong.
TEST_F(PrinterTest, AnUnpaidReceiptIsNotClosedAndThePaymentStatusHasMoreThanThreeBits) {
    auto p = FrozenPrinter(dir);
    Answer a;
    ASSERT_EQ(p->StartReceipt(0), kOk);
    ASSERT_EQ(p->AddItem("X", "", "", "", 10000, 1000), kOk);
    ASSERT_EQ(p->Total(), kOk);
    ASSERT_EQ(p->Pay(0, 0, "", a), kOk) << "what the driver sends for a receipt without payment rows";
    EXPECT_EQ(a.Byte(2), 4 | (1 << 3));
    EXPECT_EQ(p->CloseReceipt(), kReceiptNotPaid);
    ASSERT_EQ(p->Pay(1, 4000, "", a), kOk);
    EXPECT_EQ(p->CloseReceipt(), kReceiptNotPaid) << "40.00 of 100.00";
    EXPECT_TRUE(p->DocumentOpen());
    EXPECT_EQ(p->Memory().shift.saleReceipts, 0);
    ASSERT_EQ(p->Pay(0, 6000, "", a), kOk);
    EXPECT_EQ(a.Byte(2), 5 | (3 << 3));
    EXPECT_EQ(p->Pay(0, 100, "", a), kWrongDocumentState) << "nothing more is due";
    ASSERT_EQ(p->CloseReceipt(), kOk);
    EXPECT_EQ(p->Memory().shift.salesByPayment[0], 6000);
    EXPECT_EQ(p->Memory().cash, 6000);

    p = ReloadAt(dir, "2024-05-18 09:00:00", "\"tenderStatusHighBits\": false");
    ASSERT_EQ(p->StartReceipt(0), kOk);
    ASSERT_EQ(p->AddItem("X", "", "", "", 100, 1000), kOk);
    ASSERT_EQ(p->Total(), kOk);
    ASSERT_EQ(p->Pay(0, 100, "", a), kOk);
    EXPECT_EQ(a.Byte(2), 5);
}

TEST_F(PrinterTest, TaxGroupWithoutRateIsRefused) {
    auto p = FrozenPrinter(dir);
    ASSERT_EQ(p->StartReceipt(0), kOk);
    ASSERT_EQ(p->AddItem("X", "", "", "", 11800, 1000), kOk);
    EXPECT_EQ(p->Tax(1), kOk);
    EXPECT_EQ(p->Tax(4), kTaxRateNotSet);
    EXPECT_EQ(p->Tax(8), kBadArgument);
}

// --- reports and totals ------------------------------------------------------------------------

TEST_F(PrinterTest, CountersAndTotalsFollowEveryDocumentAndZResetsThem) {
    auto p = FrozenPrinter(dir);
    Answer a;
    ASSERT_EQ(p->CashIn(100000), kOk);
    // 120.50 paid 50.00 by card and 100.00 in cash: 29.50 change.
    ASSERT_EQ(p->StartReceipt(0), kOk);
    ASSERT_EQ(p->AddItem("X", "", "", "", 12050, 1000), kOk);
    ASSERT_EQ(p->Tax(1), kOk);
    ASSERT_EQ(p->Total(), kOk);
    ASSERT_EQ(p->Pay(1, 5000, "", a), kOk);
    ASSERT_EQ(p->Pay(0, 10000, "", a), kOk);
    EXPECT_DOUBLE_EQ(a.Float(4), 29.50);
    ASSERT_EQ(p->CloseReceipt(), kOk);
    Sell(*p, 2000, 0, 2000, 2);
    ASSERT_EQ(p->CashOut(30000), kOk);
    EXPECT_EQ(p->CashOut(100000), kNotEnoughCash);
    ASSERT_EQ(p->XReport(), kOk);

    ASSERT_EQ(p->Money(a), kOk);
    EXPECT_DOUBLE_EQ(a.Float(21), 750.50) << "1000 + 70.50 - 20 - 300";
    EXPECT_DOUBLE_EQ(a.Float(22), 1000.00);
    EXPECT_DOUBLE_EQ(a.Float(23), 300.00);
    ASSERT_EQ(p->EReport(54, 0, a), kOk);
    EXPECT_DOUBLE_EQ(a.Float(5), 70.50);
    EXPECT_DOUBLE_EQ(a.Float(7), 20.00);
    ASSERT_EQ(p->EReport(54, 1, a), kOk);
    EXPECT_DOUBLE_EQ(a.Float(5), 50.00);
    EXPECT_EQ(p->EReport(54, 6, a), kBadArgument);
    EXPECT_EQ(p->EReport(55, 0, a), kNotSupported);
    ASSERT_EQ(p->Counters(a), kOk);
    EXPECT_EQ(a.Word(12), 1);
    EXPECT_EQ(a.Word(14), 1);
    EXPECT_EQ(a.Word(17), 1);
    EXPECT_EQ(a.Word(18), 1);
    ASSERT_EQ(p->Numbers(a), kOk);
    EXPECT_EQ(a.Word(5), 5) << "cash in, two receipts, cash out, X report";
    EXPECT_EQ(a.Word(6), 2);
    EXPECT_EQ(p->Memory().shift.salesTax[1], 1838) << "120.50 incl. 18 %";

    ASSERT_EQ(p->ShiftClose(), kOk);
    ASSERT_EQ(p->Resource(a), kOk);
    EXPECT_EQ(a.Word(7), 1);
    ASSERT_EQ(p->Counters(a), kOk);
    EXPECT_EQ(a.Word(12), 0);
    ASSERT_EQ(p->Money(a), kOk);
    EXPECT_DOUBLE_EQ(a.Float(5), 0);
    EXPECT_DOUBLE_EQ(a.Float(9), 120.50) << "the grand total survives the Z report";
    EXPECT_DOUBLE_EQ(a.Float(21), 750.50) << "the cash stays in the drawer";
    ASSERT_EQ(p->Numbers(a), kOk);
    EXPECT_EQ(a.Word(5), 6);
    EXPECT_EQ(a.Word(6), 0);

    const std::string paper = dir.Read("COM1", files::kPaper);
    const std::size_t z = paper.find("Z-ОТЧЕТ");
    ASSERT_NE(z, std::string::npos);
    EXPECT_NE(paper.find("=120.50", z), std::string::npos);
    EXPECT_NE(paper.find("СМЕНА ЗАКРЫТА", z), std::string::npos);
}

TEST_F(PrinterTest, ReturnPaysCashOnlyFromTheDrawer) {
    auto p = FrozenPrinter(dir);
    Answer a;
    ASSERT_EQ(p->StartReceipt(2), kOk);
    ASSERT_EQ(p->AddItem("X", "", "", "", 1000, 1000), kOk);
    ASSERT_EQ(p->Total(), kOk);
    ASSERT_EQ(p->Pay(0, 1000, "", a), kOk);
    EXPECT_EQ(p->CloseReceipt(), kNotEnoughCash);
    EXPECT_TRUE(p->DocumentOpen());
    EXPECT_EQ(p->CancelReceipt(), kOk);
    EXPECT_EQ(p->Memory().cash, 0);
}

// --- paper -------------------------------------------------------------------------------------

TEST_F(PrinterTest, ReceiptIsPrintedAtFortyColumns) {
    auto p = FrozenPrinter(dir);
    Answer a;
    ASSERT_EQ(p->SetHeader({A("ООО \"ЛАВКА\""), "", "", ""}), kOk);
    ASSERT_EQ(p->StartReceipt(0), kOk);
    ASSERT_EQ(p->AddItem(A("МОЛОКО ДЕРЕВЕНСКОЕ 3,2% В БУТЫЛКЕ 1 ЛИТР С ДЛИННЫМ ИМЕНЕМ"), "4600001", " ", A("МОЛОЧНЫЙ"),
                         6000, 2000),
              kOk);
    ASSERT_EQ(p->Adjust(true, 0, 1000, A("СКИДКА ПО КАРТЕ")), kOk);
    ASSERT_EQ(p->Comment(A("ПЕРВАЯ|ВТОРАЯ")), kOk);
    ASSERT_EQ(p->Total(), kOk);
    ASSERT_EQ(p->Pay(0, 15000, "", a), kOk);
    ASSERT_EQ(p->CloseReceipt(), kOk);

    const auto lines = PaperLines(dir);
    for (const auto& line : lines)
        EXPECT_LE(Columns(line), 40u) << line;
    const std::size_t header = IndexOf(lines, "ООО \"ЛАВКА\"");
    const std::size_t sale = IndexOf(lines, "ПРОДАЖА");
    ASSERT_NE(header, std::string::npos);
    EXPECT_LT(header, sale) << "the default parameters print the header first";
    EXPECT_NE(IndexOf(lines, "2.000 X 60.00"), std::string::npos);
    EXPECT_NE(IndexOf(lines, "=-10.00"), std::string::npos);
    EXPECT_NE(IndexOf(lines, "ПЕРВАЯ"), std::string::npos);
    EXPECT_EQ(IndexOf(lines, "ВТОРАЯ"), IndexOf(lines, "ПЕРВАЯ") + 1);
    const std::size_t total = IndexOf(lines, "ИТОГ");
    ASSERT_NE(total, std::string::npos);
    EXPECT_NE(lines[total].find("=110.00 РУБ"), std::string::npos);
    const std::size_t change = IndexOf(lines, "СДАЧА");
    ASSERT_NE(change, std::string::npos);
    EXPECT_NE(lines[change].find("=40.00"), std::string::npos);
    EXPECT_LT(total, change);
    EXPECT_LT(change, IndexOf(lines, "СПАСИБО ЗА ПОКУПКУ!"));
    EXPECT_NE(IndexOf(lines, "18.05.2024 09:00"), std::string::npos);
    EXPECT_NE(lines.back().find("✂"), std::string::npos) << "the printer cuts after the receipt";
}

TEST_F(PrinterTest, TextDocumentPrintsWrappedLinesAndRawCutsTheTape) {
    auto p = FrozenPrinter(dir);
    EXPECT_EQ(p->PrintText("x"), kNoDocument);
    ASSERT_EQ(p->OpenText(), kOk);
    EXPECT_EQ(p->AddItem("X", "", "", "", 1, 1000), kWrongDocumentState);
    ASSERT_EQ(p->PrintText(std::string(45, 'A') + "\r\n" + A("СТРОКА\x07 ДВА") + "\r\n"), kOk);
    p->WriteRaw("\x1Bi");
    ASSERT_EQ(p->CloseText(), kOk);
    const auto lines = PaperLines(dir);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], std::string(40, 'A'));
    EXPECT_EQ(lines[1], "AAAAA");
    EXPECT_EQ(lines[2], "СТРОКА ДВА") << "control characters are not printed";
    EXPECT_NE(lines[3].find("✂"), std::string::npos);
    EXPECT_EQ(p->Memory().shift.nonFiscalDocuments, 1);
    EXPECT_EQ(p->Memory().documentNumber, 1);
}

// --- document parameters -----------------------------------------------------------------------

TEST_F(PrinterTest, DocumentParametersDecideWhichDocumentOpensTheShift) {
    auto p = FrozenPrinter(dir); // 1B0: a fiscal document opens it
    ASSERT_EQ(p->OpenText(), kOk);
    ASSERT_EQ(p->CloseText(), kOk);
    EXPECT_EQ(p->ShiftState(), kStateClosed);

    p = ReloadAt(dir, "2024-05-18 09:00:00", "\"paramDoc1\": 144"); // 90: any document opens it
    ASSERT_EQ(p->OpenText(), kOk);
    EXPECT_EQ(p->ShiftState(), kStateOpen);
    ASSERT_EQ(p->CloseText(), kOk);
    ASSERT_EQ(p->ShiftClose(), kOk);

    p = ReloadAt(dir, "2024-05-18 09:00:00", "\"paramDoc1\": 656"); // 290: only ShiftOpen opens it
    EXPECT_EQ(p->StartReceipt(0), kShiftClosed);
    EXPECT_EQ(p->CashIn(100), kShiftClosed);
    ASSERT_EQ(p->OpenText(), kOk) << "text is printed on a closed shift";
    ASSERT_EQ(p->CloseText(), kOk);
    EXPECT_EQ(p->ShiftState(), kStateClosed);
    ASSERT_EQ(p->ShiftOpen(), kOk);
    EXPECT_EQ(p->StartReceipt(0), kOk);
}

TEST_F(PrinterTest, DocumentParametersCanRequireASessionBeforeTheShiftOpens) {
    auto p = ReloadAt(dir, "2024-05-18 09:00:00", "\"paramDoc1\": 304"); // 130: no bit 80
    EXPECT_EQ(p->ShiftOpen(), kSessionRequired);
    EXPECT_EQ(p->StartSession(), kOk);
    EXPECT_EQ(p->StartSession(), kAlreadyDone);
    ASSERT_EQ(p->ShiftOpen(), kOk);
    ASSERT_EQ(p->ShiftClose(), kOk);
    EXPECT_EQ(p->ShiftOpen(), kSessionRequired) << "the Z report ends the session";
    ASSERT_EQ(p->SetParamDoc(0x1B0, 0), kOk);
    EXPECT_EQ(p->ShiftOpen(), kOk);
}

TEST_F(PrinterTest, HeaderIsPrintedAfterTheDocumentWhenNotFirst) {
    auto p = ReloadAt(dir, "2024-05-18 09:00:00", "\"paramDoc1\": 416, \"header\": [\"ШАПКА\", \"\", \"\", \"\"]");
    Sell(*p, 100, 0, 100);
    const auto lines = PaperLines(dir);
    const std::size_t header = IndexOf(lines, "ШАПКА");
    ASSERT_NE(header, std::string::npos);
    EXPECT_GT(header, IndexOf(lines, "ДОК "));
    EXPECT_EQ(header + 1, lines.size() - 1) << "just before the cut, for the next customer";
}

TEST_F(PrinterTest, DocumentParametersDropTailCutAndZeroLines) {
    // 1B5: no tail, no zero counters; 20: no cut.
    auto p = ReloadAt(dir, "2024-05-18 09:00:00", "\"paramDoc1\": 437, \"paramDoc2\": 32");
    Sell(*p, 100, 0, 100);
    ASSERT_EQ(p->XReport(), kOk);
    const std::string paper = dir.Read("COM1", files::kPaper);
    EXPECT_EQ(paper.find("СПАСИБО"), std::string::npos);
    EXPECT_EQ(paper.find("✂"), std::string::npos);
    EXPECT_EQ(paper.find("ВОЗВРАТЫ"), std::string::npos);
    EXPECT_NE(paper.find("ПРОДАЖИ"), std::string::npos);
}

TEST_F(PrinterTest, SecondWordCanCashOutAtZAndPrintTheShiftOpening) {
    auto p = ReloadAt(dir, "2024-05-18 09:00:00", "\"paramDoc2\": 2049"); // 801
    ASSERT_EQ(p->CashIn(5000), kOk);
    EXPECT_NE(dir.Read("COM1", files::kPaper).find("ОТКРЫТИЕ СМЕНЫ"), std::string::npos);
    EXPECT_EQ(p->Memory().documentNumber, 2) << "the shift opening is a document of its own";
    ASSERT_EQ(p->ShiftClose(), kOk);
    EXPECT_EQ(p->Memory().cash, 0);
}

TEST_F(PrinterTest, ZReportCanResetTheDocumentParameters) {
    auto p = ReloadAt(dir, "2024-05-18 09:00:00", "\"paramDocResetByZ\": true");
    Answer a;
    ASSERT_EQ(p->ShiftOpen(), kOk);
    ASSERT_EQ(p->ShiftClose(), kOk);
    ASSERT_EQ(p->ParamDoc(a), kOk);
    EXPECT_EQ(a.Word(5), 0);
}

} // namespace
} // namespace azimuth::test
