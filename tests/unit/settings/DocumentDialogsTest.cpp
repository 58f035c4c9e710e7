// The document parameter dialogs: what they show, what they program and what they store.
#include "SettingsTestSupport.h"

#include "settings/ufmDocParams.h"
#include "settings/ufmHeaderFooter.h"
#include "settings/ufmPaymentsSettings.h"
#include "settings/ufmTaxesParams.h"

using namespace settingstest;

namespace {

class DocumentDialogsTest : public ::testing::Test {
protected:
    ComPtr<TSettingsDevice> Device = TSettingsDevice::Create();
    TRecordingUI UI;
    TRecordingServices Services{*Device.Get()};
    TMemoryProgress Progress;
};

} // namespace

TEST_F(DocumentDialogsTest, ParamDoc1Of432RoundTripsAndBit10IsLost) {
    TDocControls c(Progress);
    TfmDocParams dialog(*Device.Get(), UI, Services, c.Controls);
    EXPECT_TRUE(c.Word1[4].On && c.Word1[5].On && c.Word1[7].On);
    EXPECT_FALSE(c.Word1[0].On || c.Word1[6].On);
    EXPECT_TRUE(c.r81.On);
    EXPECT_FALSE(c.r80.On || c.r82.On);
    EXPECT_TRUE(dialog.btnOkClick());
    EXPECT_EQ(Services.Args("WriteDocParams"), std::vector<std::string>{"432,0"});
    EXPECT_EQ(Device->GetParamAsInteger("ParamDoc1"), 432);
    EXPECT_EQ(Progress.Positions, (std::vector<int>{0, 70, 100, 0}));
    EXPECT_FALSE(Progress.Visible);

    Device->SetParamValue("ParamDoc1", Variant(432 | 1024 | 512));
    Device->SetParamValue("LineSpacing", Variant(12));
    TDocControls again(Progress);
    TfmDocParams second(*Device.Get(), UI, Services, again.Controls);
    EXPECT_TRUE(again.r82.On) << "bit 9 wins over bit 8";
    EXPECT_EQ(U8(again.Spacing.Value), "12");
    EXPECT_TRUE(second.btnOkClick());
    EXPECT_EQ(Device->GetParamAsInteger("ParamDoc1"), (432 & ~256) | 512);
    EXPECT_EQ(Device->GetParamAsInteger("LineSpacing"), 12);
}

TEST_F(DocumentDialogsTest, DefaultsAreShownButNotStoredAndAFailureStoresNothing) {
    Device->SetParamValue("ParamDoc1", Variant(1));
    Device->SetParamValue("ParamDoc2", Variant(0x8001));
    TDocControls c(Progress);
    TfmDocParams dialog(*Device.Get(), UI, Services, c.Controls);
    EXPECT_EQ(dialog.Word2(), 0x8001);
    dialog.btnDefaultClick();
    EXPECT_EQ(dialog.Word1(), 432);
    EXPECT_EQ(dialog.Word2(), 0);
    EXPECT_EQ(Device->GetParamAsInteger("ParamDoc1"), 1);

    Services.Codes["WriteDocParams"] = 1001;
    Services.Texts["WriteDocParams"] = "Неверный параметр (2)";
    EXPECT_FALSE(dialog.btnOkClick());
    EXPECT_EQ(Device->GetParamAsInteger("ParamDoc1"), 1);
    EXPECT_EQ(UI.Boxes, std::vector<std::string>{"error: Неверный параметр (2)"});
}

TEST_F(DocumentDialogsTest, TheDeviceEndsInTheStateItHadAndAFailedEnablingProgramsNothing) {
    TDocControls c(Progress);
    TfmDocParams dialog(*Device.Get(), UI, Services, c.Controls);
    ASSERT_FALSE(Device->IsEnabled());
    dialog.btnOkClick();
    EXPECT_FALSE(Device->IsEnabled());
    EXPECT_TRUE(Services.Calls[0].Enabled);
    Device->SetEnabled(true);
    dialog.btnOkClick();
    EXPECT_TRUE(Device->IsEnabled());
    Device->SetEnabled(false);

    Device->EnableCode = 1007;
    Device->SetParamValue("ParamDoc1", Variant(3));
    EXPECT_FALSE(dialog.btnOkClick());
    EXPECT_EQ(Services.Calls.size(), 2u);
    EXPECT_EQ(Device->GetParamAsInteger("ParamDoc1"), 3);
    EXPECT_EQ(UI.WaitDepth, 0);
}

TEST(HeaderFooterKeys, LinesKeepToTheirLimits) {
    TMemoState memo{{W(std::string(38, 'x')), W("abc")}, 0, 38};
    EXPECT_FALSE(TfmHeaderFooter::edHeaderKeyPress(true, u'y', memo)) << "a 39th character";
    EXPECT_TRUE(TfmHeaderFooter::edHeaderKeyPress(false, u'y', memo)) << "the footer takes 40";
    EXPECT_FALSE(TfmHeaderFooter::edHeaderKeyPress(true, u'Я', memo));
    EXPECT_TRUE(TfmHeaderFooter::edHeaderKeyPress(true, 8, memo));
    EXPECT_TRUE(TfmHeaderFooter::edHeaderKeyPress(true, 13, memo));
    memo.CaretLine = 1;
    memo.CaretColumn = 0;
    EXPECT_FALSE(TfmHeaderFooter::edHeaderKeyPress(true, 8, memo)) << "Backspace at the start of a line";
    EXPECT_TRUE(TfmHeaderFooter::edHeaderKeyPress(true, u'y', memo));
    memo.Lines = {W("1"), W("2"), W("3"), W("4")};
    EXPECT_FALSE(TfmHeaderFooter::edHeaderKeyPress(true, 13, memo)) << "a fifth line";
    EXPECT_FALSE(TfmHeaderFooter::edHeaderKeyPress(false, 10, memo));
}

TEST_F(DocumentDialogsTest, HeaderAndFooterAreProgrammedAndStored) {
    Device->SetParamValue("HeaderText", Variant(W("МАГАЗИН\r\nул. Ленина")));
    TMemoryEdit header, footer;
    TfmHeaderFooter dialog(*Device.Get(), UI, Services, {header, footer, Progress});
    EXPECT_EQ(U8(header.Value), "МАГАЗИН\r\nул. Ленина");
    footer.Value = W("СПАСИБО");
    EXPECT_TRUE(dialog.btnOKClick());
    EXPECT_EQ(Services.Args("ProgramHeader"), std::vector<std::string>{"МАГАЗИН\r\nул. Ленина"});
    EXPECT_EQ(Services.Args("ProgramTail"), std::vector<std::string>{"СПАСИБО"});
    EXPECT_EQ(U8(Device->GetParam("FooterText").AsWide()), "СПАСИБО");

    Services.Codes["ProgramHeader"] = 1001;
    footer.Value = W("ДО СВИДАНИЯ");
    EXPECT_FALSE(dialog.btnOKClick());
    EXPECT_EQ(Services.Args("ProgramTail").size(), 1u) << "the footer is not sent after a failed header";
    EXPECT_EQ(U8(Device->GetParam("FooterText").AsWide()), "СПАСИБО");
}

TEST_F(DocumentDialogsTest, PaymentNamesAreUpperCasedInLatinLettersOnly) {
    Device->SetParamValue("PaymentTypeNameConformity", Variant(W("0=cash;1=Плат. картой")));
    TMemoryGrid grid;
    TfmPaymentsSettings dialog(*Device.Get(), UI, Services, grid, Progress);
    EXPECT_EQ(U8(grid.Cell(1, 1)), "CASH");
    EXPECT_EQ(U8(grid.Cell(1, 2)), "Плат. картой");
    EXPECT_EQ(U8(grid.Cell(1, 6)), "ВИД ОПЛАТЫ 5");
    EXPECT_EQ(U8(grid.Cell(0, 6)), "5");
    grid.SetCell(1, 2, W("cash card"));
    grid.SetCell(1, 3, W(""));
    EXPECT_TRUE(dialog.btnOkClick());
    EXPECT_EQ(Services.Args("ProgramPayment")[1], "1=CASH CARD");
    EXPECT_EQ(U8(Device->GetParam("PaymentTypeNameConformity").AsWide()),
              "0=CASH;1=CASH CARD;2=ВИД ОПЛАТЫ 2;3=ВИД ОПЛАТЫ 3;4=ВИД ОПЛАТЫ 4;5=ВИД ОПЛАТЫ 5;");
}

TEST_F(DocumentDialogsTest, AFailingThirdPaymentNameLeavesTheParameterUnchanged) {
    TMemoryGrid grid;
    TfmPaymentsSettings dialog(*Device.Get(), UI, Services, grid, Progress);
    Services.Codes["ProgramPayment"] = 1001;
    Services.FailAt["ProgramPayment"] = 2;
    EXPECT_FALSE(dialog.btnOkClick());
    EXPECT_EQ(Services.Args("ProgramPayment").size(), 3u) << "names 0 and 1 are in the printer";
    EXPECT_EQ(U8(Device->GetParam("PaymentTypeNameConformity").AsWide()), "0=Наличными;1=Плат. картой;2=Безнал");
    EXPECT_EQ(UI.Boxes, std::vector<std::string>{"error: Неизвестная ошибка"});
}

TEST_F(DocumentDialogsTest, TaxGroupsShowDefaultsForMissingGroupsAndAreWrittenInFull) {
    TMemoryGrid grid;
    TMemoryCheck printTaxes;
    Device->SetParamValue("PrintTaxes", Variant(true));
    TfrmTaxesParams dialog(*Device.Get(), UI, Services, grid, printTaxes, Progress);
    EXPECT_TRUE(printTaxes.On);
    EXPECT_EQ(U8(grid.Cell(1, 2)), "НДС");
    EXPECT_EQ(U8(grid.Cell(2, 2)), "18");
    EXPECT_EQ(U8(grid.Cell(1, 5)), "Налог 4");
    EXPECT_EQ(U8(grid.Cell(2, 8)), "0");
    grid.SetCell(2, 3, W("18,5"));
    grid.SetCell(2, 4, W(""));
    printTaxes.On = false;
    EXPECT_TRUE(dialog.btnOkClick());
    EXPECT_EQ(U8(Device->GetParam("TaxesParams").AsWide()),
              "0=БЕЗ НДС=0;1=НДС=18;2=НДС=18,5;3=НДС=0;4=Налог 4=0;5=Налог 5=0;6=Налог 6=0;7=Налог 7=0;");
    EXPECT_FALSE(Device->GetParamAsBoolean("PrintTaxes"));
    EXPECT_EQ(Services.Args("ProgramTax")[2], "2=НДС=185000,100,0");
    EXPECT_EQ(Progress.Positions[8], 96);
}

// What typing cannot enter but a paste or a damaged stored value can: refused with the dialog's
// own message before the printer is touched, and nothing stored.
TEST_F(DocumentDialogsTest, HostileNamesAndRatesAreRefusedBeforeThePrinter) {
    struct TCase {
        int Column, Row;
        const char* Cell;
        const char* Message;
    };
    const char* const badName = "Наименование налога не может содержать символы \";\" и \"=\"";
    const char* const badRate = "Ставка налога должна быть числом от 0 до 100";
    const TCase cases[] = {
        {1, 1, "НДС;5=ЛЬГОТА", badName}, {1, 2, "НДС=20", badName}, {2, 3, "18%", badRate},
        {2, 3, "-5", badRate},           {2, 3, "100,01", badRate}, {2, 3, "NaN", badRate},
        {2, 3, "1e300", badRate},        {2, 3, " ", badRate},      {2, 3, "１８", badRate},
    };
    const std::string stored = U8(Device->GetParam("TaxesParams").AsWide());
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Cell);
        TMemoryGrid grid;
        TMemoryCheck printTaxes;
        TfrmTaxesParams dialog(*Device.Get(), UI, Services, grid, printTaxes, Progress);
        grid.SetCell(c.Column, c.Row, W(c.Cell));
        EXPECT_FALSE(dialog.btnOkClick());
        EXPECT_EQ(UI.Boxes.back(), std::string("error: ") + c.Message);
        EXPECT_TRUE(dialog.InputRefused()) << "the dialog stays open with the input";
        EXPECT_EQ(grid.Focused, std::make_pair(c.Column, c.Row));
    }
    TMemoryGrid grid;
    TfmPaymentsSettings payments(*Device.Get(), UI, Services, grid, Progress);
    grid.SetCell(1, 2, W("КАРТА;3=НАЛИЧНЫЕ"));
    EXPECT_FALSE(payments.btnOkClick());
    EXPECT_EQ(UI.Boxes.back(), "error: Наименование вида оплаты не может содержать символ \";\"");
    EXPECT_TRUE(payments.InputRefused());
    EXPECT_EQ(grid.Focused, std::make_pair(1, 2));
    EXPECT_TRUE(Services.Calls.empty());
    EXPECT_EQ(U8(Device->GetParam("TaxesParams").AsWide()), stored);
    EXPECT_EQ(U8(Device->GetParam("PaymentTypeNameConformity").AsWide()), "0=Наличными;1=Плат. картой;2=Безнал");
    grid.SetCell(1, 2, W("КАРТА"));
    Services.Codes["ProgramPayment"] = 1001;
    EXPECT_FALSE(payments.btnOkClick());
    EXPECT_FALSE(payments.InputRefused()) << "a printer's refusal closes the dialog";

    // A line spacing beyond a LONG is no number, on either system.
    TDocControls controls(Progress);
    TfmDocParams doc(*Device.Get(), UI, Services, controls.Controls);
    controls.Spacing.Value = W("99999999999");
    EXPECT_TRUE(doc.btnOkClick());
    EXPECT_EQ(Device->GetParamAsInteger("LineSpacing"), 0);
}

TEST(TaxRateKeys, EitherSeparatorBecomesTheSystemsOneAndOnlyOnce) {
    WCHAR key = u'.';
    EXPECT_TRUE(TfrmTaxesParams::sgTaxesKeyPress(2, W("18"), key, u','));
    EXPECT_EQ(key, u',');
    key = u',';
    EXPECT_TRUE(TfrmTaxesParams::sgTaxesKeyPress(2, W("18"), key, u'.'));
    EXPECT_EQ(key, u'.');
    key = u'.';
    EXPECT_FALSE(TfrmTaxesParams::sgTaxesKeyPress(2, W("18,5"), key, u',')) << "a second separator";
    key = u'x';
    EXPECT_FALSE(TfrmTaxesParams::sgTaxesKeyPress(2, W("18"), key, u','));
    key = u'x';
    EXPECT_TRUE(TfrmTaxesParams::sgTaxesKeyPress(1, W("НДС"), key, u',')) << "names take anything";
    for (WCHAR k : {WCHAR('7'), WCHAR(8), WCHAR(13)})
        EXPECT_TRUE(TfrmTaxesParams::sgTaxesKeyPress(2, W(""), k, u','));
}
