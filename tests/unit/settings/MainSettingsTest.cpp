// The fiscal printer's page: the connection values, their checks, and the service actions.
#include "SettingsTestSupport.h"

#include "settings/ufmCommonSettings.h"
#include "settings/ufmMainSettings.h"
#include "settings/uSettingsTexts.h"

using namespace settingstest;

namespace {

class MainSettingsTest : public ::testing::Test {
protected:
    ComPtr<TSettingsDevice> Device = TSettingsDevice::Create();
    TRecordingUI UI;
    TRecordingServices Services{*Device.Get()};
    TMemoryPortPicker Port;
    TMemoryDropDown Baud;
    TMemoryEdit Name, Pass;
    TMemoryState CloseDay;
    std::unique_ptr<TfrmMainSettings> Page;

    void SetUp() override {
        for (const char* rate : settingstexts::BaudRates)
            Baud.Items.push_back(W(rate));
        Baud.Index = settingstexts::DefaultBaudIndex;
    }
    void Open() {
        Page = std::make_unique<TfrmMainSettings>(*Device.Get(), UI, Services,
                                                  TMainSettingsControls{Port, Baud, Name, Pass, CloseDay});
        Page->InitPage();
        Page->LoadSettings();
    }
    bool Check() {
        bool ok = false;
        Page->CheckSettings(ok);
        return ok;
    }
};

} // namespace

TEST_F(MainSettingsTest, LoadsTheConnectionAndOffersTheDefaultPasswordForAnEmptyOne) {
    Device->SetParamValue("PortNumber", Variant(3));
    Device->SetParamValue("BaudRate", Variant(115200));
    Device->SetParamValue("DefCashierPassword", Variant(W("")));
    Open();
    EXPECT_EQ(Port.Number, 3);
    EXPECT_EQ(U8(Baud.Text()), "115200");
    EXPECT_EQ(U8(Name.Value), "Кассир");
    EXPECT_EQ(U8(Pass.Value), "QWTZ");
    EXPECT_EQ(U8(Page->Caption()), "Настройки");
}

TEST_F(MainSettingsTest, AValueTheListsCannotShowLeavesTheirChoiceAsItWas) {
    Device->SetParamValue("BaudRate", Variant(14400));
    Open();
    EXPECT_EQ(U8(Baud.Text()), "19200");
    // The full settings list stores any text; the page still opens.
    Device->SetParamValue("BaudRate", Variant(W("быстро")));
    Device->SetParamValue("PortNumber", Variant(W("COM2")));
    Page->LoadSettings();
    EXPECT_EQ(U8(Baud.Text()), "19200");
    EXPECT_EQ(Port.Number, 1);
}

TEST_F(MainSettingsTest, SavesTheFourConnectionValues) {
    Open();
    Port.Number = 4;
    Baud.Select("57600");
    Name.Value = W("Петрова");
    Pass.Value = W("1234");
    ASSERT_TRUE(Check());
    EXPECT_EQ(Device->GetParamAsInteger("PortNumber"), 4);
    EXPECT_EQ(Device->GetParam("BaudRate").Type(), VT_I4);
    EXPECT_EQ(Device->GetParamAsInteger("BaudRate"), 57600);
    EXPECT_EQ(U8(Device->GetParam("DefCashierName").AsWide()), "Петрова");
    EXPECT_EQ(Device->GetParamAsString("DefCashierPassword"), "1234");
}

TEST_F(MainSettingsTest, AnEmptyNameOrPasswordIsRefusedWithTheFocusOnIt) {
    Open();
    Name.Value.clear();
    UI.OnBox = [&] { EXPECT_EQ(Name.Focused, 1) << "the focus moves before the box"; };
    EXPECT_FALSE(Check());
    UI.OnBox = nullptr;
    Name.Value = W("Кассир");
    Pass.Value.clear();
    EXPECT_FALSE(Check());
    EXPECT_EQ(Pass.Focused, 1);
    EXPECT_EQ(UI.Boxes, (std::vector<std::string>{"error: Необходимо задать имя оператора",
                                                  "error: Необходимо задать пароль для связи с ФР"}));
    EXPECT_EQ(U8(Device->GetParam("DefCashierName").AsWide()), "Кассир") << "nothing saved";
}

TEST_F(MainSettingsTest, AServiceActionUsesThePageValuesAndRestoresThePortAfterwards) {
    Open();
    Port.Number = 3;
    Name.Value = W("Старший кассир");
    Page->btnXReportClick();
    ASSERT_EQ(Services.Calls.size(), 1u);
    EXPECT_EQ(Services.Calls[0].Name, "PrintXReport");
    EXPECT_EQ(Services.Calls[0].Port, "3");
    EXPECT_EQ(Services.Calls[0].Cashier, "Старший кассир");
    EXPECT_TRUE(Services.Calls[0].Enabled);
    EXPECT_FALSE(Device->IsEnabled());
    EXPECT_EQ(UI.WaitDepth, 0);
    EXPECT_TRUE(UI.Boxes.empty());
    // The dialog is cancelled: the stored port is the one from before.
    Device->RestoreParams();
    EXPECT_EQ(Device->GetParamAsInteger("PortNumber"), 1);
    EXPECT_EQ(U8(Device->GetParam("DefCashierName").AsWide()), "Кассир");
}

TEST_F(MainSettingsTest, TheNewLineSpeedSurvivesTheRestoreAndACancel) {
    Open();
    Baud.Select("115200");
    Port.Number = 2;
    Page->btnChangeBaudClick();
    EXPECT_EQ(Services.Args("ChangeBaudrate"), std::vector<std::string>{"115200"});
    EXPECT_EQ(Services.Calls[0].Baud, "19200") << "the printer is reached at the speed it uses now";
    EXPECT_EQ(Services.Calls[0].Port, "2") << "and at the port on the page";
    EXPECT_EQ(U8(Device->GetParam("BaudRate").AsWide()), "115200");
    EXPECT_EQ(Device->GetParamAsInteger("PortNumber"), 1);
    Device->RestoreParams(); // what Cancel does
    EXPECT_EQ(Device->GetParamAsInteger("BaudRate"), 115200);

    Services.Codes["ChangeBaudrate"] = 1007;
    Baud.Select("4800");
    Page->btnChangeBaudClick();
    EXPECT_EQ(Device->GetParamAsInteger("BaudRate"), 115200) << "a failed change keeps the old speed";
    EXPECT_EQ(UI.Boxes, std::vector<std::string>{"error: Устройство не отвечает"});
}

TEST_F(MainSettingsTest, AFailureOnTheWayIsToldAndTheTableRestored) {
    struct TFailing : TRecordingServices {
        using TRecordingServices::TRecordingServices;
        LONG PrintXReport(WString&) override { throw EDriverError("Порт занят другой программой"); }
    } failing{*Device.Get()};
    TfrmMainSettings page(*Device.Get(), UI, failing, TMainSettingsControls{Port, Baud, Name, Pass, CloseDay});
    page.LoadSettings();
    Port.Number = 2;
    page.btnXReportClick();
    EXPECT_EQ(UI.Boxes, std::vector<std::string>{"error: Порт занят другой программой"});
    EXPECT_EQ(Device->GetParamAsInteger("PortNumber"), 1);
    EXPECT_FALSE(Device->IsEnabled());
    EXPECT_EQ(UI.WaitDepth, 0);
}

TEST_F(MainSettingsTest, AnsweringNoTouchesNeitherThePrinterNorTheCursor) {
    Open();
    UI.Answer = false;
    Page->btnCloseDayClick();
    Page->btnChangeDataTimeClick();
    EXPECT_TRUE(Services.Calls.empty());
    EXPECT_EQ(UI.MaxWaitDepth, 0);
    EXPECT_EQ(UI.Boxes,
              (std::vector<std::string>{"ask: Будет выполнено закрытие смены и печать Z-отчета. Продолжить?",
                                        "ask: Дата и время ФР будут синхронизированы с компьютером. Продолжить?"}));
    UI.Answer = true;
    Page->btnCloseDayClick();
    Page->btnChangeDataTimeClick();
    EXPECT_EQ(Services.Calls.size(), 2u);
}

TEST_F(MainSettingsTest, FailuresShowTheirTextAndAFailedEnablingSkipsThePrinter) {
    Open();
    Services.Codes["PrintXReport"] = 1001;
    Services.Texts["PrintXReport"] = "Нет бумаги (103)";
    Page->btnXReportClick();
    Device->EnableCode = 1007;
    Page->btnXReportClick();
    EXPECT_EQ(Services.Calls.size(), 1u);
    EXPECT_EQ(UI.Boxes, (std::vector<std::string>{"error: Нет бумаги (103)", "error: Устройство не отвечает"}));
    EXPECT_EQ(UI.WaitDepth, 0);
}

TEST_F(MainSettingsTest, ThePrinterIdentityIsShownLineByLine) {
    Open();
    Services.Identity = {"Orvel27", "1.2", "0012345", Utf8ToAnsi("Не определено"), "7701", "99", "E1"};
    Page->btnCRInfoClick();
    ASSERT_EQ(UI.Boxes.size(), 1u);
    EXPECT_EQ(UI.Boxes[0], "info: Тип ККМ: Orvel27\r\nВерсия ПО ККМ: 1.2\r\nСерийный номер ККМ: 0012345\r\n"
                           "Регистрационный номер: Не определено\r\nИНН: 7701\r\n"
                           "Номер фискального накопителя: 99\r\nСерийный номер ЭКЛЗ: E1");
}

TEST_F(MainSettingsTest, OnlyAnAdministratorMayCloseTheShift) {
    UI.Administrator = false;
    Open();
    EXPECT_FALSE(CloseDay.IsEnabled);
    UI.Administrator = true;
    Open();
    EXPECT_TRUE(CloseDay.IsEnabled);
}
