// Reports, shift closing, cash and the counters, checked against the virtual printer's journal.
#include "FiscalTestSupport.h"

#include "framework/uEquipmentErrors.h"

#include <limits>
#include <map>

using namespace fiscaltest;

namespace {

class DriverReportsTest : public DriverTest {
protected:
    std::size_t Mark() const { return Dir.Journal().size(); }
    // The calls since a mark, without the answer readers.
    std::vector<json> Since(std::size_t mark) const {
        const std::vector<json> all = Dir.Journal();
        std::vector<json> calls;
        for (std::size_t i = mark; i < all.size(); ++i)
            if (all[i]["fn"].get<std::string>().rfind("GetFld", 0) != 0)
                calls.push_back(json{{"fn", all[i]["fn"]}, {"args", all[i]["args"]}});
        return calls;
    }
    // What the last GetFldWord of a field answered.
    int Word(int field) const {
        int value = -1;
        for (const json& call : Calls("GetFldWord"))
            if (call["args"][0] == field)
                value = call["rc"];
        return value;
    }
    static json C(const char* fn, const char* args = "[]") {
        return json{{"fn", fn}, {"args", json::parse(args)}};
    }

    // A receipt registered on the printer directly: the counters see it as any other.
    static void Receipt(LONG kind, LONG price, std::initializer_list<std::pair<BYTE, LONG>> payments) {
        const TAzimuthEntries lib = AzimuthEntries();
        ASSERT_EQ(lib.StartReceipt(kind, 1, "", "", ""), 0);
        ASSERT_EQ(lib.ItemReceipt("X", " ", " ", "", price, 1000, 1), 0);
        ASSERT_EQ(lib.TotalReceipt(), 0);
        for (const auto& [type, amount] : payments)
            ASSERT_EQ(lib.TenderReceipt(type, amount, ""), 0);
        ASSERT_EQ(lib.CloseReceipt(), 0);
    }
};

// The printer's cash counters (fields 21 to 23 of its money answer) read as NaN, the rest as 0.
double WINAPI NanCashCounters(BYTE field) {
    return field >= 21 && field <= 23 ? std::numeric_limits<double>::quiet_NaN() : 0.0;
}

Variant Encash(LONG kind, double amount) {
    return MakeVariantArray({Variant(kind), Variant(amount)});
}

} // namespace

TEST_F(DriverReportsTest, ZReportClosesTheShiftOnTheLongTimeoutAndNumbersTheNextShift) {
    Up();
    ASSERT_TRUE(Command(Disp(), idOpenDay).Ok);
    const std::size_t mark = Mark();
    TCommandAnswer z = Command(Disp(), idPrintZReport);
    ASSERT_TRUE(z.Ok) << z.Text();
    // The printer keeps its document parameters (432): nothing is written back.
    EXPECT_EQ(Since(mark),
              (std::vector<json>{C("GetResource"), C("SetCommTimeoutMs", "[20000, 20000]"), C("ShiftClose"),
                                 C("SetCommTimeoutMs", "[7000, 7000]"), C("GetParamDoc"), C("GetNumbers")}));
    EXPECT_EQ(Driver->ShiftCounter(), 1);
    EXPECT_EQ(ArrayReader(z.OutData.Raw()).Item(0).AsInteger(), 2) << "the shift after the one just closed";
    EXPECT_EQ(ArrayReader(z.OutData.Raw()).Item(3).Type(), VT_DATE);
}

TEST_F(DriverReportsTest, ZReportGivesThePrinterBackTheDocumentParametersItForgot) {
    Config(R"({"paramDocResetByZ": true, "paramDoc2": 2048})");
    Up();
    ASSERT_TRUE(Command(Disp(), idOpenDay).Ok);
    ASSERT_TRUE(Command(Disp(), idPrintZReport).Ok);
    const std::vector<json> set = Calls("SetParamDoc");
    ASSERT_EQ(set.size(), 1u);
    EXPECT_EQ(set[0]["args"], json::parse("[416, 2048, 0]")) << "1A0 hex, the second word as read";
    EXPECT_EQ(Calls("SetDrawerParam").back()["args"], json::parse("[50, 255, 416]"));

    // The service call used by the document parameter dialog keeps the bits the host sets.
    EXPECT_EQ(Driver->WriteDocParams(0x211, 7), 0);
    EXPECT_EQ(Calls("SetParamDoc").back()["args"], json::parse("[433, 7, 0]")) << "(211 | 1A0) & ~200 hex";
}

TEST_F(DriverReportsTest, ZReportStandsWhenTheDocumentParametersCannotBeRepaired) {
    Config(R"({"paramDocResetByZ": true})");
    Faults(R"({"rules": [{"fn": "SetParamDoc", "code": 55}]})");
    Up();
    ASSERT_TRUE(Command(Disp(), idOpenDay).Ok);
    TCommandAnswer z = Command(Disp(), idPrintZReport);
    EXPECT_TRUE(z.Ok) << z.Text();
    EXPECT_EQ(Calls("SetParamDoc").size(), 1u);
    EXPECT_EQ(Driver->ShiftCounter(), 1);
}

TEST_F(DriverReportsTest, ReportsGetTheNormalTimeoutBackEvenWhenTheyFail) {
    Faults(R"({"rules": [{"fn": "XReport", "code": 194}, {"fn": "ShiftClose", "code": 55}]})");
    Up();
    ASSERT_TRUE(Command(Disp(), idOpenDay).Ok);
    std::size_t mark = Mark();
    TCommandAnswer x = Command(Disp(), idPrintXReport);
    EXPECT_EQ(x.Code(), 1007);
    EXPECT_EQ(Since(mark), (std::vector<json>{C("SetCommTimeoutMs", "[20000, 20000]"), C("XReport"),
                                              C("SetCommTimeoutMs", "[7000, 7000]"),
                                              C("GetErrorMessageNo", "[null, 194]")}));
    mark = Mark();
    EXPECT_EQ(Command(Disp(), idPrintZReport).Code(), 1001);
    const std::vector<json> z = Since(mark);
    EXPECT_EQ(z.at(3), C("SetCommTimeoutMs", "[7000, 7000]"));
    EXPECT_TRUE(Calls("GetParamDoc").empty()) << "a failed Z report is not followed up";
    EXPECT_EQ(Driver->ShiftCounter(), 0) << "as GetResource just said";
}

TEST_F(DriverReportsTest, XReportPrintsAndAnswersTheDocumentNumbers) {
    Up();
    TCommandAnswer x = Command(Disp(), idPrintXReport);
    ASSERT_TRUE(x.Ok) << x.Text();
    EXPECT_EQ(ArrayReader(x.OutData.Raw()).Item(0).AsInteger(), 1);
    EXPECT_EQ(ArrayReader(x.OutData.Raw()).Item(2).AsInteger(), Word(5));
    EXPECT_NE(Dir.Read("COM1", "paper.txt").find("X-ОТЧЕТ"), std::string::npos);
}

TEST_F(DriverReportsTest, OutDataThatCannotTakeTheNumbersStopsADocumentBeforeItPrints) {
    Up();
    ASSERT_TRUE(Command(Disp(), idOpenDay).Ok);
    const std::string paper = Dir.Read("COM1", "paper.txt");
    const std::size_t mark = Mark();
    SCODE error = 0;
    for (DISPID id : {idPrintXReport, idPrintZReport})
        for (VARIANT outData : {TypedRef(VT_I4, nullptr), TypedRef(VT_ERROR, &error)}) {
            std::vector<VARIANT> args{ByVal(Variant()), outData, ByVal(Variant(0))};
            THostCall call = Call(Disp(), id, args);
            EXPECT_EQ(call.Hr, DISP_E_EXCEPTION) << id << " " << outData.vt;
            EXPECT_EQ(call.Excep.scode, 1001);
        }
    EXPECT_EQ(Since(mark), std::vector<json>{}) << "nothing reached the printer";
    EXPECT_EQ(Dir.Read("COM1", "paper.txt"), paper);
}

TEST_F(DriverReportsTest, UnknownShiftCounterStaysUnknownAfterAZReport) {
    Faults(R"({"rules": [{"fn": "GetResource", "code": 194}]})");
    Up();
    ASSERT_TRUE(Command(Disp(), idOpenDay).Ok);
    TCommandAnswer z = Command(Disp(), idPrintZReport);
    ASSERT_TRUE(z.Ok) << z.Text();
    EXPECT_EQ(Driver->ShiftCounter(), -1);
    EXPECT_EQ(ArrayReader(z.OutData.Raw()).Item(0).AsInteger(), -1);
}

TEST_F(DriverReportsTest, EncashMovesTheAbsoluteAmountInKopecksByKind) {
    Up();
    ASSERT_TRUE(Command(Disp(), idEncash, Encash(1, 150.505)).Ok);
    TCommandAnswer out = Command(Disp(), idEncash, Encash(0, -20));
    ASSERT_TRUE(out.Ok) << out.Text();
    EXPECT_EQ(Calls("ToCash")[0]["args"], json::parse("[15050]")) << "half a kopeck to the even one";
    EXPECT_EQ(Calls("FromCash")[0]["args"], json::parse("[2000]"));
    EXPECT_EQ(Calls("GetShiftState").size(), 1u) << "only paying in checks the shift's age";
    EXPECT_EQ(ArrayReader(out.OutData.Raw()).Item(2).AsInteger(), Word(5));

    const std::size_t mark = Mark();
    EXPECT_EQ(Command(Disp(), idEncash, Encash(1, 30000000.0)).Code(), 1004) << "beyond 32-bit kopecks";
    EXPECT_EQ(Command(Disp(), idEncash, Encash(0, 1e6)).Code(), 1001) << "the drawer holds less";
    EXPECT_EQ(Since(mark).front(), C("FromCash", "[100000000]")) << "nothing was sent for the refused amount";
}

TEST_F(DriverReportsTest, OnAShiftOfADayOnlyCashInIsRefusedBeforeAnythingIsSent) {
    Config(R"({"clock": {"frozenAt": "2024-05-18 09:00:00"}})");
    Up();
    ASSERT_TRUE(Command(Disp(), idOpenDay).Ok);
    ASSERT_TRUE(Command(Disp(), idEncash, Encash(1, 10)).Ok);
    Config(R"({"clock": {"frozenAt": "2024-05-19 09:00:00"}})");
    ASSERT_TRUE(Command(Disp(), idEnable).Ok);
    EXPECT_EQ(Command(Disp(), idEncash, Encash(1, 10)).Code(), ErrShiftOver24Hours);
    EXPECT_EQ(Calls("ToCash").size(), 1u);
    // Taking cash out is left to the printer to judge.
    Command(Disp(), idEncash, Encash(0, 10));
    EXPECT_EQ(Calls("FromCash").size(), 1u);
}

TEST_F(DriverReportsTest, CountersGiveTheShiftsMoneyByPaymentTypeAndTheDocumentCounts) {
    Up();
    Receipt(0, 10000, {{0, 6000}, {1, 4000}});
    Receipt(2, 1000, {{0, 1000}});
    ASSERT_TRUE(Command(Disp(), idEncash, Encash(1, 50)).Ok);
    ASSERT_TRUE(Command(Disp(), idEncash, Encash(0, 20)).Ok);

    TCommandAnswer answer = Command(Disp(), idGetCountersInfo);
    ASSERT_TRUE(answer.Ok) << answer.Text();
    ArrayReader out(answer.OutData.Raw());
    const Variant a = out.Item(0), b = out.Item(1);
    ArrayReader counters(a.Raw()), byPayment(b.Raw());
    const std::map<LONG, double> money = {{0, 90}, {1, 110}, {5, 100}, {6, 10}, {17, 50}, {18, 80}, {19, 20}};
    const std::map<LONG, LONG> counts = {{3, 1}, {4, 1}, {15, 1}, {16, 1}};
    ASSERT_EQ(counters.Count(), 20);
    for (LONG i = 0; i < 20; ++i) {
        const Variant item = counters.Item(i);
        if (money.count(i)) {
            EXPECT_EQ(item.Type(), VT_R8) << i;
            EXPECT_EQ(item.AsDouble(), money.at(i)) << i;
        } else {
            EXPECT_EQ(item.Type(), VT_I4) << i;
            EXPECT_EQ(item.AsInteger(), counts.count(i) ? counts.at(i) : -1) << i;
        }
    }
    ASSERT_EQ(byPayment.Dims(), 2u);
    EXPECT_EQ(byPayment.Count(1), 5);
    EXPECT_EQ(byPayment.Count(2), 6);
    EXPECT_EQ(byPayment.Item(0, 1).AsInteger(), 1);
    EXPECT_EQ(U8(byPayment.Item(1, 1).AsWide()), "Плат. картой");
    EXPECT_EQ(U8(byPayment.Item(1, 4).AsWide()), "") << "no name for type 4";
    EXPECT_EQ(byPayment.Item(2, 0).AsInteger(), -1);
    EXPECT_EQ(byPayment.Item(3, 0).Type(), VT_CY);
    EXPECT_EQ(byPayment.Item(3, 0).AsCurrency().int64, 600000);
    EXPECT_EQ(byPayment.Item(4, 0).AsCurrency().int64, 100000);
    EXPECT_EQ(byPayment.Item(3, 1).AsCurrency().int64, 400000);
    std::vector<json> types;
    for (const json& call : Calls("GetEReport"))
        types.push_back(call["args"]);
    EXPECT_EQ(json(types), json::parse("[[54,0],[54,1],[54,2],[54,3],[54,4],[54,5]]"));
}

TEST_F(DriverReportsTest, CountersStopAtTheFirstPaymentTypeThePrinterCannotReport) {
    Faults(R"({"rules": [{"fn": "GetEReport", "code": 55, "call": 4}]})");
    Up();
    EXPECT_EQ(Command(Disp(), idGetCountersInfo).Code(), 1001);
    ASSERT_TRUE(Command(Disp(), idEnable).Ok) << "the printer counts the calls anew";
    Variant a, b;
    WString text;
    EXPECT_EQ(Driver->DoGetCountersInfo(a, b, text), 1001);
    EXPECT_NE(U8(text).find("(55)"), std::string::npos);
    ArrayReader byPayment(b.Raw());
    for (LONG t = 0; t < 6; ++t)
        for (LONG row = 0; row < 5; ++row)
            EXPECT_EQ(byPayment.Item(row, t).IsEmpty(), t >= 3) << row << "," << t;
    EXPECT_EQ(ArrayReader(a.Raw()).Item(0).AsInteger(), -1) << "no totals from an incomplete report";
    EXPECT_TRUE(Calls("GetCounters").empty());

    // A garbled cash counter fails the command as a garbled payment sum does.
    Faults("{}");
    ASSERT_TRUE(Command(Disp(), idEnable).Ok);
    Driver->Patch = [](TAzimuthEntries& e) { e.GetFldFloat = NanCashCounters; };
    const TCommandAnswer garbled = Command(Disp(), idGetCountersInfo);
    EXPECT_EQ(garbled.Ok ? 0 : garbled.Code(), 1001);
}

TEST_F(DriverReportsTest, DrawerClockAndLastDocument) {
    EXPECT_EQ(Command(Disp(), idGetDateTime).Code(), 1003) << "whatever the device's state";
    Up();
    EXPECT_TRUE(Command(Disp(), idOpenDrawer).Ok);
    EXPECT_EQ(Calls("CashDriverOpen").size(), 1u);
    EXPECT_TRUE(Command(Disp(), idSetDateTime, MakeVariantArray({Variant::FromDate(1000.5)})).Ok);
    EXPECT_EQ(Calls("SetDate")[0]["args"], json::parse("[]"));
    EXPECT_EQ(Command(Disp(), idGetDateTime).Code(), 1003);

    ASSERT_TRUE(Command(Disp(), idOpenDay).Ok);
    TCommandAnswer last = Command(Disp(), idGetLastDocInfo);
    ASSERT_TRUE(last.Ok);
    ArrayReader out(last.OutData.Raw());
    ASSERT_EQ(out.Count(), 6);
    EXPECT_EQ(out.Item(0).AsInteger(), 1);
    EXPECT_EQ(out.Item(1).AsInteger(), Word(6));
    EXPECT_EQ(out.Item(2).AsInteger(), Word(5));
    EXPECT_EQ(out.Item(4).AsInteger(), 0);
    EXPECT_EQ(out.Item(5).Type(), VT_CY);
}

TEST_F(DriverReportsTest, ServiceCallsAnswer1006WithoutALibraryAndCommandsAnswer1008WhenDisabled) {
    EXPECT_EQ(Driver->PrintXReportNow(), 1006);
    EXPECT_EQ(Driver->CloseShift(), 1006);
    EXPECT_EQ(Driver->WriteDocParams(0, 0), 1006);
    InitAndOpen();
    for (DISPID id : {idPrintXReport, idPrintZReport, idOpenDrawer, idGetCountersInfo, idGetLastDocInfo})
        EXPECT_EQ(Command(Disp(), id).Code(), 1008) << id;
    EXPECT_EQ(Command(Disp(), idEncash, Encash(1, 1)).Code(), 1008);
    EXPECT_TRUE(Dir.Journal().empty());
}
