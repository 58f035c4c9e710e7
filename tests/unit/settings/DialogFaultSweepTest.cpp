// Every printer operation of the settings dialogs, run from its button on the driver against a
// printer that fails at each of the operation's calls in turn: the dialog shows the printer's text
// and stores nothing, the device ends as it was, no document stays open, and the printer holds
// what the dialog programmed before the failure and nothing after it.
#include "MemoryControls.h"
#include "fiscal/FaultSweepSupport.h"
#include "fiscal/ReceiptTestSupport.h"
#include "settings/ufmHeaderFooter.h"
#include "settings/ufmMainSettings.h"
#include "settings/ufmPaymentsSettings.h"
#include "settings/ufmTaxesParams.h"
#include "settings/uSettingsTexts.h"

using namespace fiscaltest;
using namespace settingstest;

namespace {

// The driver's operations as the dialogs run them, each answer noted with the journal's length
// before the first, where the operation's own calls begin.
class TTappedServices final : public IFiscalServices {
public:
    TTappedServices(TDriverFR& Driver, const StateDir& Dir) : FReal(Driver), FDir(Dir) {}

    struct TAnswer {
        std::string Op;
        LONG Code;
        std::string Text; // UTF-8
    };
    std::vector<TAnswer> Answers;
    std::size_t FirstCall = SIZE_MAX;

    LONG ChangeBaudrate(LONG Baud, WString& Text) override {
        return Tap("ChangeBaudrate", Text, [&] { return FReal.ChangeBaudrate(Baud, Text); });
    }
    LONG SetDateTime(DATE DateTime, WString& Text) override {
        return Tap("SetDateTime", Text, [&] { return FReal.SetDateTime(DateTime, Text); });
    }
    LONG ReadPrinterInfo(std::array<std::string, 7>& Texts, WString& Text) override {
        return Tap("ReadPrinterInfo", Text, [&] { return FReal.ReadPrinterInfo(Texts, Text); });
    }
    LONG PrintXReport(WString& Text) override {
        return Tap("PrintXReport", Text, [&] { return FReal.PrintXReport(Text); });
    }
    LONG CloseShift(WString& Text) override {
        return Tap("CloseShift", Text, [&] { return FReal.CloseShift(Text); });
    }
    LONG WriteDocParams(LONG Word1, LONG Word2, WString& Text) override {
        return Tap("WriteDocParams", Text, [&] { return FReal.WriteDocParams(Word1, Word2, Text); });
    }
    LONG ProgramHeader(const std::string& Lines, WString& Text) override {
        return Tap("ProgramHeader", Text, [&] { return FReal.ProgramHeader(Lines, Text); });
    }
    LONG ProgramTail(const std::string& Lines, WString& Text) override {
        return Tap("ProgramTail", Text, [&] { return FReal.ProgramTail(Lines, Text); });
    }
    LONG ProgramPayment(LONG Number, const std::string& Name, WString& Text) override {
        return Tap("ProgramPayment", Text, [&] { return FReal.ProgramPayment(Number, Name, Text); });
    }
    LONG ProgramTax(LONG Group, const std::string& Name, CY Rate, CY Second, LONG Flag, WString& Text) override {
        return Tap("ProgramTax", Text, [&] { return FReal.ProgramTax(Group, Name, Rate, Second, Flag, Text); });
    }

private:
    template <class TCall>
    LONG Tap(const char* Op, const WString& Text, TCall&& Call) {
        if (Answers.empty())
            FirstCall = FDir.Journal().size();
        const LONG code = Call();
        Answers.push_back({Op, code, U8(Text)});
        return code;
    }
    TDriverFRServices FReal;
    const StateDir& FDir;
};

// One press of a dialog's button, with the desktop, controls and progress bar it needs.
struct TDesk {
    TDriverFR& Driver;
    TRecordingUI UI;
    TTappedServices Services;
    TMemoryProgress Progress;
    TDesk(TDriverFR& driver, const StateDir& dir) : Driver(driver), Services(driver, dir) {}

    // Speed: the line speed chosen on the page before the button (none: the stored one).
    void MainPage(void (TfrmMainSettings::*Button)(), const char* Speed = nullptr) {
        TMemoryPortPicker port;
        TMemoryDropDown baud;
        for (const char* rate : settingstexts::BaudRates)
            baud.Items.push_back(W(rate));
        TMemoryEdit name, pass;
        TMemoryState closeDay;
        TfrmMainSettings page(Driver, UI, Services, {port, baud, name, pass, closeDay});
        page.InitPage();
        page.LoadSettings();
        if (Speed)
            baud.Select(Speed);
        (page.*Button)();
    }
    void DocParams() {
        TDocControls c(Progress);
        TfmDocParams dialog(Driver, UI, Services, c.Controls);
        c.Word1[0].On = true;
        dialog.btnOkClick();
    }
    void HeaderFooter() {
        TMemoryEdit header, footer;
        TfmHeaderFooter dialog(Driver, UI, Services, {header, footer, Progress});
        header.Value = W("ООО \"Ромашка\"\r\nг. Тверь");
        footer.Value = W("Приходите ещё");
        dialog.btnOKClick();
    }
    void Payments() {
        TMemoryGrid grid;
        TfmPaymentsSettings dialog(Driver, UI, Services, grid, Progress);
        for (int row = 1; row <= TfmPaymentsSettings::PaymentTypes; ++row)
            grid.SetCell(1, row, W("оплата ") + AnsiToWide(std::to_string(row)));
        dialog.btnOkClick();
    }
    void Taxes() {
        TMemoryGrid grid;
        TMemoryCheck printTaxes;
        TfrmTaxesParams dialog(Driver, UI, Services, grid, printTaxes, Progress);
        for (int row = 1; row <= TfrmTaxesParams::TaxGroups; ++row)
            grid.SetCell(TfrmTaxesParams::RateColumn, row, AnsiToWide(std::to_string(row)));
        printTaxes.On = true;
        dialog.btnOkClick();
    }
};

struct TDialogAction {
    const char* Name;
    std::function<void(TDesk&)> Press;
    bool ShiftOpen = false;
    // Reads whose failure does not fail the operation.
    std::vector<std::string> Informative = {};
    // What a failure at the call leaves programmed of the clean run's printer: the steps before it.
    std::function<void(json& Expected, const json& After, const TSweptCall& Failed)> Kept = nullptr;
    // What a failed informative call leaves unprogrammed of the clean run's printer.
    std::function<void(json& Expected, const json& Before, const TSweptCall& Failed)> Skipped = nullptr;
};

// Entries 0 to n - 2 of a list programmed one by one stay when the n-th call fails.
auto KeptEntries(const char* Field) {
    return [Field](json& expected, const json& after, const TSweptCall& failed) {
        for (int i = 0; i + 1 < failed.Call; ++i)
            expected["config"][Field][i] = after["config"][Field][i];
    };
}

class DialogFaultSweepTest : public ReceiptTest, public ::testing::WithParamInterface<std::size_t> {
protected:
    // The printer's settings and what it registered.
    json State() const {
        const json config = Dir.Exists("COM1", "config.json") ? json::parse(Dir.Read("COM1", "config.json")) : json();
        return json{{"config", config}, {"memory", FiscalRecord(Dir)}};
    }
    // The parameter table as text.
    std::map<std::string, std::string> Params() {
        std::map<std::string, std::string> values;
        for (LONG i = 0; i < Driver->GetParamCount(); ++i) {
            const TSettingStruct* p = Driver->GetParamByIndex(i);
            try {
                values[p->Name] = U8(p->Value.AsWide());
            } catch (const EConversionError&) {
                values[p->Name] = "?";
            }
        }
        return values;
    }

    void Sweep(const TDialogAction& action) {
        SCOPED_TRACE(action.Name);
        // The dialogs start from a printer the driver has talked to, and a disabled device.
        Up();
        // The printer's settings on file from the start (as they were), to compare with.
        WString text;
        ASSERT_EQ(TDriverFRServices(*Driver.Get()).WriteDocParams(432, 0, text), ErrNone);
        ASSERT_TRUE(Dir.Exists("COM1", "config.json"));
        if (action.ShiftOpen) {
            ASSERT_TRUE(Command(Disp(), idOpenDay).Ok);
        }
        ASSERT_TRUE(Command(Disp(), idDisable).Ok);
        const TPrinterSnapshot saved(Dir);
        const json before = State();
        const auto paramsBefore = Params();
        TShortSettingArray table;
        for (LONG i = 0; i < Driver->GetParamCount(); ++i)
            table.push_back({Driver->GetParamByIndex(i)->Name, Driver->GetParamByIndex(i)->Value});

        TDesk clean(*Driver.Get(), Dir);
        action.Press(clean);
        ASSERT_EQ(Errors(clean.UI), std::vector<std::string>{});
        const json after = State();
        const auto paramsAfter = Params();
        const std::vector<json> journal = Dir.Journal();
        std::size_t connect = clean.Services.FirstCall;
        while (connect > 0 && journal[connect - 1]["fn"] != "OpenDLLPlus")
            --connect;
        ASSERT_GT(connect, 0u);
        const auto calls = FaultableCalls(journal, connect - 1, clean.Services.FirstCall);
        ASSERT_FALSE(calls.empty());
        RecordProperty("faulted_runs", static_cast<int>(calls.size() * std::size(SweptFaults)));

        ForEachFault(Dir, saved, calls, [&](const TSweptCall& call, const TSweptFault& fault) {
            for (const TShortSettingStruct& value : table)
                Driver->SetParamValue(value.Name, value.Value);
            TDesk desk(*Driver.Get(), Dir);
            action.Press(desk);
            EXPECT_FALSE(Driver->IsEnabled());
            EXPECT_FALSE(DocumentOpen());
            EXPECT_FALSE(desk.Progress.Visible);
            EXPECT_EQ(desk.UI.WaitDepth, 0);
            const std::vector<std::string> errors = Errors(desk.UI);
            if (Listed(action.Informative, call)) {
                EXPECT_TRUE(errors.empty()) << errors.front();
                json expected = after;
                if (action.Skipped)
                    action.Skipped(expected, before, call);
                EXPECT_EQ(State(), expected);
                EXPECT_EQ(Params(), paramsAfter);
                return;
            }
            ASSERT_FALSE(desk.Services.Answers.empty());
            const auto& answer = desk.Services.Answers.back();
            EXPECT_EQ(answer.Code, fault.DriverCode) << answer.Op;
            EXPECT_EQ(answer.Text, fault.Text) << answer.Op;
            EXPECT_EQ(errors, std::vector<std::string>{std::string("error: ") + fault.Text});
            json expected = before;
            if (action.Kept)
                action.Kept(expected, after, call);
            EXPECT_EQ(State(), expected);
            EXPECT_EQ(Params(), paramsBefore);
        });
    }
    static std::vector<std::string> Errors(const TRecordingUI& ui) {
        std::vector<std::string> errors;
        for (const std::string& box : ui.Boxes)
            if (box.rfind("error: ", 0) == 0)
                errors.push_back(box);
        return errors;
    }
};

constexpr std::size_t FirstDocumentDialog = 5;
const TDialogAction Actions[] = {
    // A speed the printer does not use yet: a failed change must leave printer and driver at the old one.
    {"line speed", [](TDesk& d) { d.MainPage(&TfrmMainSettings::btnChangeBaudClick, "9600"); }},
    {"clock", [](TDesk& d) { d.MainPage(&TfrmMainSettings::btnChangeDataTimeClick); }},
    {"identity", [](TDesk& d) { d.MainPage(&TfrmMainSettings::btnCRInfoClick); }},
    {"X report", [](TDesk& d) { d.MainPage(&TfrmMainSettings::btnXReportClick); }, true},
    // The shift counter and the document options after the report are the driver's own care.
    {"Z report", [](TDesk& d) { d.MainPage(&TfrmMainSettings::btnCloseDayClick); }, true, {"GetResource", "GetParamDoc"}},
    // The drawer's pulse goes with the options, which the printer has taken by then.
    {"document options", [](TDesk& d) { d.DocParams(); }, false, {"SetDrawerParam"}, nullptr,
     [](json& expected, const json& before, const TSweptCall&) {
         expected["config"]["drawer"] = before["config"]["drawer"];
     }},
    {"header and footer", [](TDesk& d) { d.HeaderFooter(); }, false, {},
     [](json& expected, const json& after, const TSweptCall& failed) {
         if (failed.Fn == "SetTail")
             expected["config"]["header"] = after["config"]["header"];
     }},
    {"payment names", [](TDesk& d) { d.Payments(); }, false, {}, KeptEntries("payments")},
    {"tax groups", [](TDesk& d) { d.Taxes(); }, false, {}, KeptEntries("taxes")},
};

} // namespace

TEST_P(DialogFaultSweepTest, EachCallOfTheOperationFailsInTurn) {
    Sweep(Actions[GetParam()]);
}

INSTANTIATE_TEST_SUITE_P(Dialogs, DialogFaultSweepTest, ::testing::Range<std::size_t>(0, std::size(Actions)),
                         [](const ::testing::TestParamInfo<std::size_t>& info) {
                             std::string name = Actions[info.param].Name;
                             for (char& c : name)
                                 if (c == ' ')
                                     c = '_';
                             return name;
                         });

// Without the printer's library beside the driver every button says so, in the driver's own
// words, and nothing is asked of the printer or stored.
TEST_F(DriverTest, WithoutALibraryEveryDialogShowsTheDriversOwnMessage) {
    Driver->Folder = FolderOf(Dir.Root());
    ASSERT_TRUE(Init(Disp(), &Manager).Ok());
    Open(Disp(), "1");
    for (const TDialogAction& action : Actions) {
        SCOPED_TRACE(action.Name);
        TDesk desk(*Driver.Get(), Dir);
        action.Press(desk);
        EXPECT_TRUE(desk.Services.Answers.empty());
        EXPECT_EQ(desk.UI.Boxes.back(), "error: Библиотека не найдена");
        EXPECT_FALSE(Driver->IsEnabled());
        EXPECT_EQ(Driver->GetParamAsString("HeaderText"), "");
        EXPECT_EQ(Driver->GetParamAsInteger("ParamDoc1"), 432);
    }
}

// The full settings list stores any text: a port the connection cannot read fails each document
// dialog's OK with the text the host's Enable gets, instead of an exception the window swallows.
TEST_F(DriverTest, AStoredValueTheConnectionCannotReadIsToldNotSwallowed) {
    InitAndOpen();
    Driver->SetParamValue("PortNumber", Variant(W("COM1")));
    const TCommandAnswer enable = Command(Disp(), idEnable);
    ASSERT_FALSE(enable.Ok);
    // The document dialogs, which connect with the stored values (the main page puts its own in).
    for (std::size_t i = FirstDocumentDialog; i < std::size(Actions); ++i) {
        SCOPED_TRACE(Actions[i].Name);
        TDesk desk(*Driver.Get(), Dir);
        Actions[i].Press(desk);
        EXPECT_TRUE(desk.Services.Answers.empty());
        EXPECT_EQ(desk.UI.Boxes, std::vector<std::string>{"error: " + enable.Text()});
        EXPECT_EQ(desk.UI.WaitDepth, 0);
        EXPECT_FALSE(Driver->IsEnabled());
        EXPECT_EQ(Driver->GetParamAsString("HeaderText"), "");
    }
}
