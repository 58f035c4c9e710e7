// What the driver tells the host about itself and its settings table.
#include "FiscalTestSupport.h"

using namespace fiscaltest;

TEST(DriverFR, SettingsTableFollowsTheBaseAndFiscalGroupsWithTheDriversOwn) {
    ComPtr<TTestDriverFR> driver = TTestDriverFR::Create();
    std::vector<std::string> names;
    for (const TSettingStruct& p : driver->Params())
        names.push_back(p.Name);
    EXPECT_EQ(names,
              (std::vector<std::string>{
                  "DefaultTimeOut",   "EventLogEnabled", "DebugLogEnabled", "MaxReceiptRowLength",
                  "MaxSlipRowLength", "SlipRows",        "HeaderText",      "FooterText",
                  "FullCutCode",      "PartialCutCode",  "DefCashierName",  "DefCashierPassword",
                  "PortNumber",       "BaudRate",        "ParamDoc1",       "ParamDoc2",
                  "LineSpacing",      "PrintTaxes",      "TaxesParams",     "PaymentTypeNameConformity"}));
    struct TExpected {
        const char* Name;
        bool ReadOnly;
        const char* Caption;
    };
    for (const TExpected& e :
         {TExpected{"DefCashierName", false, "Кассир"}, TExpected{"ParamDoc1", true, "Параметр документа 1"},
          TExpected{"ParamDoc2", true, "Параметр документа 1"},
          TExpected{"LineSpacing", true, "Межстрочный интервал"},
          TExpected{"PrintTaxes", true, "Выделять налоги"},
          TExpected{"TaxesParams", true, "Налоговые группы"},
          TExpected{"PaymentTypeNameConformity", false, "Соответствие наименований видов оплат"}}) {
        const TSettingStruct* p = driver->FindParam(e.Name);
        ASSERT_NE(p, nullptr) << e.Name;
        EXPECT_EQ(p->ReadOnly, e.ReadOnly) << e.Name;
        EXPECT_EQ(AnsiToUtf8(p->Caption), e.Caption) << e.Name;
    }
    const TSettingStruct* width = driver->FindParam("MaxReceiptRowLength");
    EXPECT_EQ(width->Value.AsInteger(), 40);
    EXPECT_EQ(width->Default.AsInteger(), 40);
    EXPECT_EQ(driver->RowWidth(), 40);
    driver->SetParamValue("MaxReceiptRowLength", Variant(32));
    EXPECT_EQ(driver->RowWidth(), 40) << "the driver's own layout keeps its width";
    EXPECT_EQ(driver->GetParamAsString("DefCashierPassword"), "QWTZ");
    EXPECT_EQ(AnsiToUtf8(driver->GetParamAsString("TaxesParams")), "0=БЕЗ НДС=0;1=НДС=18;2=НДС=15;3=НДС=10");
}

TEST_F(DriverTest, TheDebugLogsHeaderHidesThePasswordAsTheDialogDoes) {
    const std::filesystem::path devices = Dir.Root() / "devices";
    std::filesystem::create_directories(devices / "1");
    Manager.Answers["DevicesFolder"] = devices.string();
    Driver->SetParamValue("DebugLogEnabled", Variant(true));
    Up();
    const std::string log = ReadFile(Driver->LogFileName());
    EXPECT_NE(log.find("DefCashierPassword: \t'****'\r\n"), std::string::npos) << log;
    EXPECT_EQ(log.find("QWTZ"), std::string::npos);
}

TEST(DriverFR, IdentifiesItselfAsTheOrvel27FiscalPrinterWithASettingsDialog) {
    ComPtr<TTestDriverFR> driver = TTestDriverFR::Create();
    const TDeviceInfoStruct& info = driver->DeviceInfo();
    EXPECT_EQ(U8(info.DeviceKind), "FiscalPrinter");
    EXPECT_EQ(U8(info.DriverName), "Kelvo: Фискальный регистратор Orvel27");
    EXPECT_EQ(U8(info.ProgID), "Ovra.Orvel27");
    EXPECT_TRUE(info.HasSettingsDialog);
    EXPECT_EQ(U8(info.DriverDescription), "Драйвер фискального регистратора Orvel27");
    EXPECT_EQ(ModuleFormatSettings().ShortDateFormat, "yyyy mm dd");
    EXPECT_EQ(ModuleFormatSettings().DateSeparator, '.');
    EXPECT_EQ(ModuleFormatSettings().TimeFormat, "hh mm ss");
}

namespace {
bool DialogAnswer = false;
std::size_t GuardDepth = 0;
} // namespace

TEST_F(DriverTest, SettingsDialogRunsBetweenTheModalGuardsAndItsAnswerReachesTheHost) {
    InitAndOpen();
    TDriverFR::SetSettingsDialog(nullptr);
    TCommandAnswer answer = Command(Disp(), idShowSettingsDlg);
    EXPECT_EQ(answer.Code(), 201) << "no dialogs installed";

    TDriverFR::SetSettingsDialog([](TDriverFR& driver) {
        GuardDepth = static_cast<TTestDriverFR&>(driver).WindowStack().size();
        return DialogAnswer;
    });
    DialogAnswer = true;
    EXPECT_TRUE(Command(Disp(), idShowSettingsDlg).Ok);
    EXPECT_EQ(GuardDepth, 1u) << "the host's window is held while the dialog is up";
    EXPECT_TRUE(Driver->WindowStack().empty());
    DialogAnswer = false;
    EXPECT_EQ(Command(Disp(), idShowSettingsDlg).Code(), 201);
    TDriverFR::SetSettingsDialog(nullptr);
}
