// The settings pages' logic as a user with a keyboard and a clipboard drives it: any text in every
// field a page reads (names, passwords, rates, header and footer lines, the line spacing), any
// parameter values the full settings list or the host may have stored before the page opened,
// any key with any memo or cell state at the key filters, and printer operations that succeed or
// fail as the input says.
//
// Besides the sanitizers (no crash, no exception out of a page), every press checks: what reaches
// the printer is what it can take (payment numbers 0 to 5, tax groups 0 to 7 with rates from 0
// to 100, 16-bit option words, a listed line speed); a page that answers OK stored names that read
// back as the names the printer got; a page that refused or failed stored nothing.
#include "FuzzHost.h"

#include "../unit/settings/MemoryControls.h"
#include "fiscal/uDriverFR.h"
#include "settings/ufmHeaderFooter.h"
#include "settings/ufmMainSettings.h"
#include "settings/ufmPaymentsSettings.h"
#include "settings/ufmTaxesParams.h"
#include "settings/uSettingsTexts.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

using fuzzhost::TChoices;
using namespace settingstest;

void Fail(const char* what) {
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

// The driver's parameter table without a printer: enabling always succeeds.
class TPageDriver : public TDriverFR {
protected:
    LONG DoEnable(WString&) override { return ErrNone; }
    LONG DoDisable(WString&) override { return ErrNone; }
};

// Printer operations that check what they are given and answer as the input says.
class TCheckingServices final : public IFiscalServices {
public:
    explicit TCheckingServices(TChoices& Choices) : FChoices(Choices) {}
    int Calls = 0;
    std::map<LONG, std::string> Payments, Taxes; // ANSI names programmed, by number

    LONG ChangeBaudrate(LONG Baud, WString& Text) override {
        bool listed = false;
        for (const char* rate : settingstexts::BaudRates)
            listed = listed || std::to_string(Baud) == rate;
        if (!listed)
            Fail("a line speed the list does not hold");
        return Answer(Text);
    }
    LONG SetDateTime(DATE, WString& Text) override { return Answer(Text); }
    LONG ReadPrinterInfo(std::array<std::string, 7>& Texts, WString& Text) override {
        for (std::string& text : Texts)
            text = WideToAnsi(FChoices.Text());
        return Answer(Text);
    }
    LONG PrintXReport(WString& Text) override { return Answer(Text); }
    LONG CloseShift(WString& Text) override { return Answer(Text); }
    LONG WriteDocParams(LONG Word1, LONG Word2, WString& Text) override {
        if (Word1 < 0 || Word1 > 0xFFFF || Word2 < 0 || Word2 > 0xFFFF)
            Fail("a document option word beyond 16 bits");
        return Answer(Text);
    }
    LONG ProgramHeader(const std::string&, WString& Text) override { return Answer(Text); }
    LONG ProgramTail(const std::string&, WString& Text) override { return Answer(Text); }
    LONG ProgramPayment(LONG Number, const std::string& Name, WString& Text) override {
        if (Number < 0 || Number >= TfmPaymentsSettings::PaymentTypes || Name.empty())
            Fail("a payment type the printer has not, or no name");
        Payments[Number] = Name;
        return Answer(Text);
    }
    LONG ProgramTax(LONG Group, const std::string& Name, CY Rate, CY, LONG, WString& Text) override {
        if (Group < 0 || Group >= TfrmTaxesParams::TaxGroups || Name.empty())
            Fail("a tax group the printer has not, or no name");
        if (Rate.int64 < 0 || Rate.int64 > 100 * 10000)
            Fail("a tax rate outside 0 to 100");
        Taxes[Group] = Name;
        return Answer(Text);
    }

private:
    LONG Answer(WString& Text) {
        ++Calls;
        const uint8_t b = FChoices.Byte();
        if (b < 240)
            return ErrNone;
        if (b & 1)
            Text = FChoices.Text();
        return b < 248 ? ErrUnknown : ErrDeviceNotResponding;
    }
    TChoices& FChoices;
};

const char* const PageParams[] = {"DefCashierName", "DefCashierPassword", "PortNumber",  "BaudRate",
                                  "ParamDoc1",      "ParamDoc2",          "LineSpacing", "PrintTaxes",
                                  "TaxesParams",    "HeaderText",         "FooterText",  "PaymentTypeNameConformity"};

// What the host or the full settings list may have left in the page's parameters.
void Scramble(TDriverFR& driver, TChoices& c) {
    for (int n = c.Byte() % 4; n > 0; --n) {
        const char* name = PageParams[c.Byte() % std::size(PageParams)];
        const uint8_t kind = c.Byte();
        driver.SetParamValue(name, kind < 100 ? Variant(c.Conformity()) : kind < 200 ? Variant(c.Text())
                                                                                      : Variant(c.Integer()));
    }
}

using TSnapshot = std::map<std::string, WString>;

TSnapshot Snapshot(TDriverFR& driver) {
    TSnapshot values;
    for (const char* name : PageParams) {
        try {
            values[name] = driver.GetParam(name).AsWide();
        } catch (const EConversionError&) {
            values[name] = u"?";
        }
    }
    return values;
}

// A dialog that answered false stored nothing.
void ExpectUnchanged(TDriverFR& driver, const TSnapshot& before, bool ok) {
    if (!ok && Snapshot(driver) != before)
        Fail("a refused or failed OK changed the parameters");
}

TMemoState Memo(TChoices& c) {
    TMemoState memo;
    for (int n = c.Byte() % 6; n > 0; --n)
        memo.Lines.push_back(c.Text());
    memo.CaretLine = static_cast<int>(c.Integer());
    memo.CaretColumn = static_cast<int>(c.Integer());
    return memo;
}

void MainPage(TDriverFR& driver, TRecordingUI& ui, TCheckingServices& services, TChoices& c) {
    TMemoryPortPicker port;
    TMemoryDropDown baud;
    for (const char* rate : settingstexts::BaudRates)
        baud.Items.push_back(Utf8ToWide(rate));
    baud.Index = c.Byte() % baud.Count();
    TMemoryEdit name, pass;
    TMemoryState closeDay;
    TfrmMainSettings page(driver, ui, services, {port, baud, name, pass, closeDay});
    page.InitPage();
    page.LoadSettings();
    if (c.Byte() & 1)
        name.Value = c.Text();
    if (c.Byte() & 1)
        pass.Value = c.Text();
    switch (c.Byte() % 7) {
    case 0: {
        bool ok = false;
        page.CheckSettings(ok);
        break;
    }
    case 1:
        page.btnChangeBaudClick();
        break;
    case 2:
        page.btnChangeDataTimeClick();
        break;
    case 3:
        page.btnCRInfoClick();
        break;
    case 4:
        page.btnCloseDayClick();
        break;
    case 5:
        page.btnXReportClick();
        break;
    default:
        page.SaveSettings();
        page.LoadSettings();
        break;
    }
}

void DocParams(TDriverFR& driver, TRecordingUI& ui, TCheckingServices& services, TChoices& c) {
    TMemoryProgress progress;
    TDocControls controls(progress);
    TfmDocParams dialog(driver, ui, services, controls.Controls);
    if (c.Byte() < 32)
        dialog.btnDefaultClick();
    const uint32_t bits = c.Word32();
    int i = 0;
    for (auto& [bit, box] : controls.Word1)
        box.On = (bits >> (i++ % 32)) & 1;
    for (auto& [bit, box] : controls.Word2)
        box.On = (bits >> (i++ % 32)) & 1;
    controls.r80.On = c.Byte() & 1;
    controls.r81.On = c.Byte() & 1;
    controls.r82.On = c.Byte() & 1;
    if (c.Byte() & 1)
        controls.Spacing.Value = c.Text();
    const auto before = Snapshot(driver);
    ExpectUnchanged(driver, before, dialog.btnOkClick());
}

void HeaderFooter(TDriverFR& driver, TRecordingUI& ui, TCheckingServices& services, TChoices& c) {
    TMemoryEdit header, footer;
    TMemoryProgress progress;
    TfmHeaderFooter dialog(driver, ui, services, {header, footer, progress});
    for (int keys = c.Byte() % 4; keys > 0; --keys)
        TfmHeaderFooter::edHeaderKeyPress(c.Byte() & 1, static_cast<WCHAR>(c.Word32()), Memo(c));
    if (c.Byte() & 1)
        header.Value = c.Text();
    if (c.Byte() & 1)
        footer.Value = c.Text();
    const auto before = Snapshot(driver);
    ExpectUnchanged(driver, before, dialog.btnOKClick());
}

// The names a conformity text gives numbers 0 to Count - 1, as the pages read them back.
std::map<LONG, std::string> NamesOf(const Variant& value, LONG Count, bool CutAtSeparator) {
    TNameList list;
    list.Assign(WideToAnsi(value.AsWide()));
    std::map<LONG, std::string> names;
    for (LONG n = 0; n < Count; ++n) {
        std::string name = list.Name(n);
        if (CutAtSeparator)
            name = name.substr(0, name.find('='));
        names[n] = name;
    }
    return names;
}

void Payments(TDriverFR& driver, TRecordingUI& ui, TCheckingServices& services, TChoices& c) {
    TMemoryGrid grid;
    TMemoryProgress progress;
    TfmPaymentsSettings dialog(driver, ui, services, grid, progress);
    for (int n = c.Byte() % 8; n > 0; --n)
        grid.SetCell(1, 1 + c.Byte() % TfmPaymentsSettings::PaymentTypes, c.Text());
    const auto before = Snapshot(driver);
    const bool ok = dialog.btnOkClick();
    ExpectUnchanged(driver, before, ok);
    if (ok && NamesOf(driver.GetParam("PaymentTypeNameConformity"), TfmPaymentsSettings::PaymentTypes, false) !=
                  services.Payments)
        Fail("the stored payment names read back other than the printer got them");
}

void Taxes(TDriverFR& driver, TRecordingUI& ui, TCheckingServices& services, TChoices& c) {
    TMemoryGrid grid;
    TMemoryCheck printTaxes;
    TMemoryProgress progress;
    TfrmTaxesParams dialog(driver, ui, services, grid, printTaxes, progress);
    for (int keys = c.Byte() % 4; keys > 0; --keys) {
        WCHAR key = static_cast<WCHAR>(c.Word32());
        const WCHAR separator = c.Byte() & 1 ? u',' : u'.';
        TfrmTaxesParams::sgTaxesKeyPress(c.Byte() % 3, c.Text(), key, separator);
    }
    for (int n = c.Byte() % 10; n > 0; --n)
        grid.SetCell(1 + c.Byte() % 2, 1 + c.Byte() % TfrmTaxesParams::TaxGroups, c.Text());
    printTaxes.On = c.Byte() & 1;
    const auto before = Snapshot(driver);
    const bool ok = dialog.btnOkClick();
    ExpectUnchanged(driver, before, ok);
    if (ok && NamesOf(driver.GetParam("TaxesParams"), TfrmTaxesParams::TaxGroups, true) != services.Taxes)
        Fail("the stored tax names read back other than the printer got them");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 4096)
        return 0;
    static ComPtr<TPageDriver> driver = CreateComObject<TPageDriver>();
    driver->ResetParamsToDefaults();
    TChoices c(data, size);
    // Far beyond any field's limit, and small enough to keep the runs many.
    c.HugeUnit = 40;
    Scramble(*driver.Get(), c);
    TRecordingUI ui;
    ui.Answer = c.Byte() & 1;
    ui.Administrator = c.Byte() & 1;
    TCheckingServices services(c);
    switch (c.Byte() % 5) {
    case 0:
        MainPage(*driver.Get(), ui, services, c);
        break;
    case 1:
        DocParams(*driver.Get(), ui, services, c);
        break;
    case 2:
        HeaderFooter(*driver.Get(), ui, services, c);
        break;
    case 3:
        Payments(*driver.Get(), ui, services, c);
        break;
    default:
        Taxes(*driver.Get(), ui, services, c);
        break;
    }
    if (ui.WaitDepth != 0)
        Fail("the hourglass stayed");
    if (driver->IsEnabled())
        Fail("the device stayed enabled");
    return 0;
}
