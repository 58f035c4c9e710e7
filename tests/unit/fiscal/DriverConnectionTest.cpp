// Connecting to the virtual printer, the guards of printer operations, error translation and the
// time-out cache, checked against the printer's journal of calls.
#include "FiscalTestSupport.h"

#include "framework/uEquipmentErrors.h"

#include <cstring>

using namespace fiscaltest;

TEST_F(DriverTest, EnableConnectsWithThePortAndSpeedAsTextsAndReadsThePrinter) {
    Up();
    EXPECT_EQ(Driver->State(), dsEnabled);
    const std::vector<json> open = Calls("OpenDLLPlus");
    ASSERT_EQ(open.size(), 1u);
    EXPECT_EQ(open[0]["args"], json::parse(R"(["Кассир", "QWTZ", "COM1", "19200", 0])"));
    const std::vector<json> calls = Dir.Journal();
    std::vector<std::string> order;
    for (const json& c : calls)
        if (c["fn"] != "GetFldWord" && c["fn"] != "GetFldStr")
            order.push_back(c["fn"]);
    EXPECT_EQ(order, (std::vector<std::string>{"OpenDLLPlus", "StartSeans", "SetCommTimeoutMs", "GetResource",
                                               "CashDriverEnable", "GetSerialNum"}));
    EXPECT_EQ(Calls("SetCommTimeoutMs")[0]["args"], json::parse("[7000, 7000]"));
    EXPECT_EQ(Driver->ShiftCounter(), 0) << "a new printer has closed no shift";
    EXPECT_EQ(Driver->SerialNumber(), "27000001");
}

TEST_F(DriverTest, EmptyCashierIsSentAsOneSpaceAndThePortNumberNamesThePort) {
    Config("{}", "COM2");
    InitAndOpen();
    Driver->SetParamValue("DefCashierName", Variant(WString()));
    Driver->SetParamValue("PortNumber", Variant(2));
    ASSERT_TRUE(Command(Disp(), idEnable).Ok);
    const std::vector<json> open = Calls("OpenDLLPlus", "COM2");
    ASSERT_EQ(open.size(), 1u);
    EXPECT_EQ(open[0]["args"][0], " ");
    EXPECT_EQ(open[0]["args"][2], "COM2");
}

TEST_F(DriverTest, FailedConnectKeepsTheLibraryAndTheDeviceDisabled) {
    InitAndOpen();
    Driver->SetParamValue("BaudRate", Variant(9600)); // the printer listens at 19200
    TCommandAnswer enabled = Command(Disp(), idEnable);
    EXPECT_FALSE(enabled.Ok);
    EXPECT_EQ(enabled.Code(), 1007);
    EXPECT_NE(enabled.Text().find(" (194)"), std::string::npos) << enabled.Text();
    EXPECT_EQ(Driver->State(), dsInitialized);
    EXPECT_TRUE(Driver->LibraryLoaded());
    EXPECT_EQ(Command(Disp(), idGetFPStateInfo).Code(), 1008);
}

TEST_F(DriverTest, SessionAlreadyStartedIsASuccessfulConnect) {
    Faults(R"({"rules": [{"fn": "StartSeans", "code": 21}]})");
    Up();
    EXPECT_EQ(Driver->State(), dsEnabled);
}

TEST_F(DriverTest, RefusedSessionFailsTheConnectWithTheLibrarysText) {
    Faults(R"({"rules": [{"fn": "StartSeans", "code": 55}]})");
    InitAndOpen();
    TCommandAnswer enabled = Command(Disp(), idEnable);
    EXPECT_EQ(enabled.Code(), 1001);
    EXPECT_EQ(enabled.Text().substr(enabled.Text().size() - 5), " (55)");
    EXPECT_TRUE(Calls("GetResource").empty()) << "nothing is read from a printer that refused";
}

TEST_F(DriverTest, UnreadableResourceLeavesTheShiftCounterUnknownButConnects) {
    Faults(R"({"rules": [{"fn": "GetResource", "code": 194}]})");
    Up();
    EXPECT_EQ(Driver->ShiftCounter(), -1);
    EXPECT_TRUE(Calls("GetFldWord").empty());
}

TEST_F(DriverTest, TimeoutIsSentOnlyWhenItChanges) {
    Up();
    Driver->SetTimeout(TDriverFR::NormalTimeout);
    Driver->SetTimeout(TDriverFR::NormalTimeout);
    EXPECT_EQ(Calls("SetCommTimeoutMs").size(), 1u);
    Driver->SetTimeout(TDriverFR::LongTimeout);
    Driver->SetTimeout(TDriverFR::NormalTimeout);
    const std::vector<json> sent = Calls("SetCommTimeoutMs");
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sent[1]["args"], json::parse("[20000, 20000]"));
    EXPECT_EQ(Driver->LastTimeout(), 7000);
}

TEST_F(DriverTest, TranslateErrorGivesTheLibrarysTextAndTheCodeInParentheses) {
    Up();
    struct TCase {
        LONG LibraryCode;
        LONG DriverCode;
    };
    for (const TCase& c : {TCase{194, 1007}, TCase{55, 1001}, TCase{7, 1001}, TCase{23, 1001}}) {
        WString text;
        EXPECT_EQ(Driver->TranslateError(c.LibraryCode, text), c.DriverCode) << c.LibraryCode;
        const std::string libraryText = Calls("GetErrorMessageNo").back()["rc"];
        EXPECT_FALSE(libraryText.empty());
        EXPECT_EQ(U8(text), libraryText + " (" + std::to_string(c.LibraryCode) + ")");
    }
    WString text = W("stale");
    EXPECT_EQ(Driver->TranslateError(0, text), 0);
    EXPECT_TRUE(text.empty());
    EXPECT_EQ(Driver->TranslateError(TDriverFR::LibTaxRateNotSet, text), 1001);
    EXPECT_EQ(U8(text), "Не задана ставка налога в ФР");
}

TEST_F(DriverTest, PrinterOperationsNeedTheLibraryThenAnEnabledDevice) {
    ASSERT_TRUE(Init(Disp(), &Manager).Ok());
    EXPECT_EQ(Driver->CheckReady(), 1006);
    ASSERT_TRUE(Open(Disp(), "1").Ok());
    EXPECT_EQ(Driver->CheckReady(), 1008);
    for (DISPID id : {idOpenDay, idGetFPStateInfo}) {
        TCommandAnswer answer = Command(Disp(), id);
        EXPECT_EQ(answer.Code(), 1008) << id;
        EXPECT_EQ(answer.Text(), "Оборудование не готово");
    }
    EXPECT_TRUE(Dir.Journal().empty()) << "nothing reached the printer";
}

TEST_F(DriverTest, ShiftOpenForADayIsRefusedBeforeAnythingIsSent) {
    Config(R"({"clock": {"frozenAt": "2024-05-18 09:00:00"}})");
    Up();
    ASSERT_TRUE(Command(Disp(), idOpenDay).Ok);
    WString text;
    EXPECT_EQ(Driver->CheckShift(text), 0);
    ASSERT_TRUE(Command(Disp(), idDisable).Ok);
    Config(R"({"clock": {"frozenAt": "2024-05-19 09:00:01"}})");
    ASSERT_TRUE(Command(Disp(), idEnable).Ok);
    EXPECT_EQ(Driver->CheckShift(text), ErrShiftOver24Hours);
    TCommandAnswer state = Command(Disp(), idGetFPStateInfo);
    ASSERT_TRUE(state.Ok);
    EXPECT_EQ(ArrayReader(state.OutData.Raw()).Item(5).AsInteger(), 2);
}

TEST_F(DriverTest, DisableClosesTheConnectionAndCloseReleasesTheLibrary) {
    Up();
    ASSERT_TRUE(Command(Disp(), idDisable).Ok);
    // The one before connecting is journaled before the printer's port is known.
    EXPECT_EQ(Calls("CloseDLL").size(), 1u);
    EXPECT_TRUE(Driver->LibraryLoaded());
    ASSERT_TRUE(Call(Disp(), idClose, {}).Hr == S_OK);
    EXPECT_FALSE(Driver->LibraryLoaded());
    EXPECT_EQ(Calls("CloseDLL").size(), 1u) << "a disabled device is not disconnected again";
}

TEST_F(DriverTest, ReleasingAnEnabledDriverDisconnectsAndUnloads) {
    Up();
    Driver.Reset();
    EXPECT_EQ(Calls("CloseDLL").size(), 1u);
}

// Text answers longer than the printer is documented to give must not overrun the driver.
namespace {
constexpr std::size_t LongAnswer = 300;
LONG WINAPI AnswerOk() {
    return 0;
}
LPSTR WINAPI LongText(BYTE field, LPSTR buffer) {
    std::memset(buffer, 'A' + field % 26, LongAnswer);
    buffer[LongAnswer] = '\0';
    return buffer;
}
} // namespace

TEST_F(DriverTest, OverlongTextAnswersAreReadWholeAndCutToTheirLimits) {
    Up();
    Driver->Patch = [](TAzimuthEntries& lib) {
        lib.GetSerialNum = &AnswerOk;
        lib.GetFiscalNums = &AnswerOk;
        lib.GetFldStr = &LongText;
    };
    ASSERT_TRUE(Command(Disp(), idEnable).Ok);
    EXPECT_EQ(Driver->SerialNumber(), std::string(11, 'F'));
    std::array<std::string, 7> info;
    EXPECT_EQ(Driver->ReadPrinterInfo(info), 0);
    EXPECT_EQ(info[0], std::string(16, 'F'));
    EXPECT_EQ(info[6], std::string(16, 'L'));
}

TEST_F(DriverTest, PrinterInfoReadsSevenFieldsOrSaysNotDetermined) {
    Up();
    std::array<std::string, 7> info;
    ASSERT_EQ(Driver->ReadPrinterInfo(info), 0);
    EXPECT_EQ(info[0], "ORVEL-27F");
    EXPECT_EQ(info[2], "27000001");
    std::vector<json> fields = Calls("GetFldStr");
    ASSERT_GE(fields.size(), 7u);
    EXPECT_EQ(fields.back()["args"][0], 11);

    Faults(R"({"rules": [{"fn": "GetFiscalNums", "code": 194}]})");
    ASSERT_TRUE(Command(Disp(), idEnable).Ok);
    EXPECT_EQ(Driver->ReadPrinterInfo(info), 194);
    for (const std::string& text : info)
        EXPECT_EQ(AnsiToUtf8(text), "Не определено");
}

TEST_F(DriverTest, RawBytesMustAllBeWritten) {
    Up();
    EXPECT_EQ(Driver->SendRaw("\x1bi"), 0);
    Faults(R"({"silent": true})");
    Driver->DisconnectPrinter();
    EXPECT_EQ(Driver->SendRaw("\x1bi"), 1007);
}

TEST_F(DriverTest, LineSpeedChangeIsTranslated) {
    Up();
    WString text;
    EXPECT_EQ(Driver->ChangeBaudrate(57600, text), 0);
    EXPECT_EQ(Calls("ChangeBaudrate")[0]["args"], json::parse(R"(["57600"])"));
}

TEST_F(DriverTest, ServiceCallsWithoutALoadedLibraryAnswer1006InsteadOfCallingThroughNothing) {
    WString text;
    std::array<std::string, 7> info;
    EXPECT_EQ(Driver->ChangeBaudrate(57600, text), 1006);
    EXPECT_EQ(Driver->ReadPrinterInfo(info), 1006);
    EXPECT_EQ(AnsiToUtf8(info[3]), "Не определено");
    EXPECT_EQ(Driver->SendRaw("x"), 1006);
    EXPECT_EQ(Driver->ProgramPayment(1, "X"), 1006);
    EXPECT_EQ(Driver->ProgramTax(1, "X", fwtest::Cy(0), fwtest::Cy(0), 0), 1006);
}

namespace {
char LibraryTable[] = "\xD2\xE0\xE1\xEB\xE8\xF6\xE0"; // "Таблица" in code page 1251
LPSTR WINAPI MessageFromTable(LPSTR buffer, LONG) {
    buffer[0] = '\0';
    return LibraryTable;
}
LPSTR WINAPI MessageInBufferOnly(LPSTR buffer, LONG) {
    std::strcpy(buffer, "buffer");
    return nullptr;
}
} // namespace

TEST_F(DriverTest, TranslateErrorReadsTheTextWhereTheLibraryPointsOrElseItsBuffer) {
    Up();
    WString text;
    Driver->Patch = [](TAzimuthEntries& lib) { lib.GetErrorMessageNo = &MessageFromTable; };
    EXPECT_EQ(Driver->TranslateError(55, text), 1001);
    EXPECT_EQ(U8(text), "Таблица (55)");
    Driver->Patch = [](TAzimuthEntries& lib) { lib.GetErrorMessageNo = &MessageInBufferOnly; };
    EXPECT_EQ(Driver->TranslateError(55, text), 1001);
    EXPECT_EQ(U8(text), "buffer (55)");
}

TEST_F(DriverTest, ALibraryLoadedAgainIsToldTheNormalTimeout) {
    Up();
    ASSERT_TRUE(Command(Disp(), idDisable).Ok);
    ASSERT_EQ(Call(Disp(), idClose, {}).Hr, S_OK);
    ASSERT_FALSE(Driver->LibraryLoaded());
    Up();
    const std::vector<json> sent = Calls("SetCommTimeoutMs");
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[1]["args"], json::parse("[7000, 7000]"));
}

TEST_F(DriverTest, TheLineSpeedReachesTheLibraryAsTheTextTheHostGave) {
    InitAndOpen();
    Driver->SetParamValue("BaudRate", Variant(W("019200")));
    ASSERT_TRUE(Command(Disp(), idEnable).Ok);
    EXPECT_EQ(Calls("OpenDLLPlus")[0]["args"][3], "019200");
}
