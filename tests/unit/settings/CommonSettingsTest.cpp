// The settings shell: pages, closing, the additional functions and context help.
#include "SettingsTestSupport.h"

#include "settings/ufmCommonSettings.h"
#include "settings/ufmDocParams.h"
#include "settings/ufmHeaderFooter.h"
#include "settings/uSettingsTexts.h"

#include <fstream>

using namespace settingstest;

namespace {

// A page with one value: PortNumber, shown in a text box of its own.
class TPortPage : public TfrmBaseSettings {
public:
    TPortPage(TBaseDevice& Device, ISettingsUI& UI, std::vector<std::string>& Journal, std::string Name)
        : TfrmBaseSettings(Device, UI), FJournal(Journal), FName(std::move(Name)) {}
    WString Shown;
    bool Refuse = false;
    void InitPage() override { FJournal.push_back(FName + " InitPage" + (FSettingsForm ? " in shell" : "")); }
    void LoadSettings() override {
        FJournal.push_back(FName + " Load");
        Shown = FDevice->GetParam("PortNumber").AsWide();
    }
    void CheckSettings(bool& Ok) override {
        FJournal.push_back(FName + " Check");
        Ok = !Refuse;
    }
    void SaveSettings() override {
        FJournal.push_back(FName + " Save");
        FDevice->SetParamValue("PortNumber", Variant(Shown));
    }
    WString Caption() const override { return W(FName); }

private:
    std::vector<std::string>& FJournal;
    std::string FName;
};

class TRecordingShellView : public ICommonSettingsView {
public:
    std::vector<std::string>& Journal;
    explicit TRecordingShellView(std::vector<std::string>& journal) : Journal(journal) {}
    TMemoryState Reset, Help;
    std::function<bool()> OnSettingsList = [] { return true; };
    bool HasHint = true;
    std::vector<THelpPopup> Popups;
    std::vector<std::string> HelpFilesShown;

    void AddTab(TfrmBaseSettings& Page) override { Journal.push_back("tab " + U8(Page.Caption())); }
    void PagesAdded() override { Journal.push_back("pages added"); }
    IControlState& ResetItem() override { return Reset; }
    IControlState& HelpItem() override { return Help; }
    bool ShowSettingsList() override { return OnSettingsList(); }
    bool ControlHint(WString& Hint, TPoint& At) override {
        Hint = W("Подсказка поля");
        At = {40, 50};
        return HasHint;
    }
    void ShowHelpPopup(const THelpPopup& Popup) override { Popups.push_back(Popup); }
    void ShowHelpFile(const std::string& File) override { HelpFilesShown.push_back(File); }
};

class CommonSettingsTest : public ::testing::Test {
protected:
    ComPtr<TSettingsDevice> Device = TSettingsDevice::Create();
    TRecordingUI UI;
    std::vector<std::string> Journal;
    TRecordingShellView View{Journal};
    TTempFolder Folder;
    std::string Dir = Folder.Ansi() + platform::PathDelimiter();
    TfrmCommonSettings Shell{*Device.Get(), UI, View, Dir};
    std::vector<TPortPage*> Pages;

    TPageFactory PortPage(const std::string& name) {
        return [this, name](TfrmCommonSettings& shell) {
            auto page = std::make_unique<TPortPage>(shell.Device(), shell.UI(), Journal, name);
            Pages.push_back(page.get());
            return page;
        };
    }
    void Open(int pages = 1) {
        std::vector<TPageFactory> classes;
        for (int i = 0; i < pages; ++i)
            classes.push_back(PortPage("page" + std::to_string(i + 1)));
        Shell.Initialize(classes);
    }
};

} // namespace

TEST_F(CommonSettingsTest, PagesAreMadeAddedAndLoadedInOrderWithTheDriverInformation) {
    Open(2);
    EXPECT_EQ(Journal, (std::vector<std::string>{"page1 InitPage", "tab page1", "page2 InitPage", "tab page2",
                                                 "pages added", "page1 Load", "page2 Load"}));
    EXPECT_EQ(Pages[0]->FSettingsForm, &Shell);
    EXPECT_TRUE(View.Reset.IsVisible);
    EXPECT_FALSE(View.Help.IsVisible) << "no help file beside the driver";
    EXPECT_FALSE(View.Help.IsEnabled);
    EXPECT_EQ(U8(Shell.Info().TypeName), "Неизвестный тип");
}

TEST_F(CommonSettingsTest, WithoutPagesThereIsNothingToReset) {
    Open(0);
    EXPECT_FALSE(View.Reset.IsVisible);
    EXPECT_FALSE(View.Reset.IsEnabled);
}

TEST_F(CommonSettingsTest, HelpFileBesideTheDriverOffersHelpAndPopupTopics) {
    std::ofstream(Dir + "help.chm") << "x";
    Open();
    EXPECT_TRUE(View.Help.IsVisible);
    Shell.miHelpClick();
    EXPECT_EQ(View.HelpFilesShown, std::vector<std::string>{Dir + "help.chm"});

    Shell.HelpHandler(HelpCommandSetPopupPos, MAKELONG(120, 80));
    Shell.HelpHandler(HelpCommandContextPopup, 12);
    ASSERT_EQ(View.Popups.size(), 1u);
    EXPECT_TRUE(View.Popups[0].FromHelpFile);
    EXPECT_EQ(View.Popups[0].Topic, 12);
    EXPECT_EQ(View.Popups[0].HelpFile, Dir + "help.chm::/popups.txt");
    EXPECT_EQ(View.Popups[0].At.X, 120);
    EXPECT_EQ(View.Popups[0].At.Y, 80);
}

TEST_F(CommonSettingsTest, HelpTextsOfTheShellAndItsControls) {
    Open();
    EXPECT_EQ(U8(Shell.GetHelpByID(1001)), "Сохранить настройки и закрыть окно");
    EXPECT_EQ(U8(Shell.GetHelpByID(1002)), "Закрыть окно без сохранения настроек");
    EXPECT_EQ(U8(Shell.GetHelpByID(1003)), "Настройка параметров и подробная информация о драйвере");
    EXPECT_EQ(U8(Shell.GetHelpByID(1000)),
              "Дополнительные функции: \r\n - Установка параметров в значегие по умолчанию\r\n"
              " - Тест работоспособности устройства\r\n - Отображение полного списка настроек\r\n - Справка");
    EXPECT_EQ(Shell.GetHelpByID(1004), WString());

    Shell.HelpHandler(HelpCommandContextPopup, HelpContextOk);
    Shell.HelpHandler(HelpCommandContextPopup, HelpContextPages);
    Shell.HelpHandler(HelpCommandContextPopup, 4); // a topic of the missing help file: the hint instead
    View.HasHint = false;
    Shell.HelpHandler(HelpCommandContextPopup, HelpContextPages); // nothing under the pointer
    Shell.HelpHandler(HelpCommandContextPopup, 12);               // neither topic nor hint
    ASSERT_EQ(View.Popups.size(), 3u);
    EXPECT_EQ(U8(View.Popups[0].Text), "Сохранить настройки и закрыть окно");
    EXPECT_FALSE(View.Popups[0].FromHelpFile);
    EXPECT_EQ(U8(View.Popups[1].Text), "Подсказка поля");
    EXPECT_EQ(View.Popups[1].At.X, 40);
    EXPECT_EQ(U8(View.Popups[2].Text), "Подсказка поля");
    EXPECT_FALSE(View.Popups[2].FromHelpFile);
}

TEST(CommonSettingsGrowth, ThePageEnlargesTheShellButNeverShrinksIt) {
    const TShellMetrics m{2, 4, 36, 53, 24};
    LONG w = 324, h = 375;
    TfrmCommonSettings::GrowForPage(w, h, 350, 300, m);
    EXPECT_EQ(w, 350 + 4 + 8);
    EXPECT_EQ(h, 300 + 36 + 53 + 24 + 8);
    TfrmCommonSettings::GrowForPage(w, h, 100, 100, m);
    EXPECT_EQ(w, 362);
    EXPECT_EQ(h, 421);
}

TEST_F(CommonSettingsTest, OkSavesEveryPageAndARefusingPageKeepsTheDialogOpen) {
    Open(2);
    Pages[0]->Shown = W("4");
    Pages[1]->Refuse = true;
    Journal.clear();
    EXPECT_FALSE(Shell.CloseQuery(true));
    EXPECT_EQ(Journal, (std::vector<std::string>{"page1 Check", "page1 Save", "page2 Check"}));
    Pages[1]->Refuse = false;
    Pages[1]->Shown = W("4");
    EXPECT_TRUE(Shell.CloseQuery(true));
    EXPECT_EQ(U8(Device->GetParam("PortNumber").AsWide()), "4");
}

TEST_F(CommonSettingsTest, CancelUndoesWhatTheSettingsListConfirmed) {
    Open();
    View.OnSettingsList = [&] {
        Device->SetParamValue("PortNumber", Variant(W("7")));
        return true;
    };
    Shell.miSettingsListClick();
    EXPECT_EQ(U8(Pages[0]->Shown), "7") << "the pages show what the list confirmed";
    EXPECT_TRUE(Shell.CloseQuery(false));
    EXPECT_EQ(Device->GetParamAsInteger("PortNumber"), 1);

    View.OnSettingsList = [&] {
        Device->SetParamValue("PortNumber", Variant(W("8")));
        return false;
    };
    Shell.miSettingsListClick();
    EXPECT_EQ(Device->GetParamAsInteger("PortNumber"), 1) << "a cancelled list changes nothing";
}

TEST_F(CommonSettingsTest, CancelUndoesTheListEvenAfterAServiceActionButKeepsANewLineSpeed) {
    Open();
    View.OnSettingsList = [&] {
        Device->SetParamValue("PortNumber", Variant(W("7")));
        Device->SetParamValue("BaudRate", Variant(9600));
        return true;
    };
    Shell.miSettingsListClick();
    // A line speed change in between: its own backup and restore, and the speed it set.
    Device->SaveParamsByName({"BaudRate"});
    Device->RestoreParams();
    Device->SetParamValue("BaudRate", Variant(W("115200")));
    Shell.KeepValue("BaudRate", Variant(W("115200")));
    EXPECT_TRUE(Shell.CloseQuery(false));
    EXPECT_EQ(Device->GetParamAsInteger("PortNumber"), 1);
    EXPECT_EQ(Device->GetParamAsInteger("BaudRate"), 115200);
}

TEST_F(CommonSettingsTest, CancelKeepsWhatADocumentDialogProgrammedAfterTheList) {
    Open();
    View.OnSettingsList = [&] {
        Device->SetParamValue("PortNumber", Variant(W("7")));
        Device->SetParamValue("HeaderText", Variant(W("ИЗ СПИСКА")));
        return true;
    };
    Shell.miSettingsListClick();
    TRecordingServices services(*Device.Get());
    TMemoryProgress progress;
    TDocControls controls(progress);
    TfmDocParams doc(*Device.Get(), UI, services, controls.Controls);
    doc.SetSettingsForm(&Shell);
    controls.Word1[0].On = true;
    ASSERT_TRUE(doc.btnOkClick());
    TMemoryEdit header, footer;
    TfmHeaderFooter headerFooter(*Device.Get(), UI, services, {header, footer, progress});
    headerFooter.SetSettingsForm(&Shell);
    header.Value = W("МАГАЗИН");
    ASSERT_TRUE(headerFooter.btnOKClick());
    EXPECT_TRUE(Shell.CloseQuery(false));
    EXPECT_EQ(Device->GetParamAsInteger("PortNumber"), 1) << "the list is undone";
    EXPECT_EQ(Device->GetParamAsInteger("ParamDoc1"), 433) << "what the printer took stays";
    EXPECT_EQ(U8(Device->GetParam("HeaderText").AsWide()), "МАГАЗИН");
}

TEST_F(CommonSettingsTest, TheListsBackupEndsWithTheDialogThatTookIt) {
    Open();
    View.OnSettingsList = [&] {
        Device->SetParamValue("PortNumber", Variant(W("7")));
        return true;
    };
    Shell.miSettingsListClick();
    EXPECT_TRUE(Shell.CloseQuery(true));
    Device->SetParamValue("PortNumber", Variant(3)); // the host's SetSettings before its next Enable
    TfrmCommonSettings next(*Device.Get(), UI, View, Dir);
    next.Initialize({});
    EXPECT_TRUE(next.CloseQuery(false));
    EXPECT_EQ(Device->GetParamAsInteger("PortNumber"), 3);
}

TEST_F(CommonSettingsTest, ResetTakesTheDefaultsAtOnceAndReloadsThePages) {
    Device->SetParamValue("PortNumber", Variant(5));
    Open();
    Shell.miResetClick();
    EXPECT_EQ(Device->GetParamAsInteger("PortNumber"), 1);
    EXPECT_EQ(U8(Pages[0]->Shown), "1");
}

TEST_F(CommonSettingsTest, DeviceTestRunsOnThePageValuesAndRestoresTheTable) {
    Open();
    Pages[0]->Shown = W("6");
    LONG portDuringTest = 0;
    Device->OnTest = [&] { portDuringTest = Device->GetParamAsInteger("PortNumber"); };
    Shell.miDeviceTestClick();
    EXPECT_EQ(portDuringTest, 6);
    EXPECT_EQ(Device->GetParamAsInteger("PortNumber"), 1);
    EXPECT_FALSE(Device->IsEnabled());
    EXPECT_TRUE(UI.Boxes.empty()) << "a passed test shows nothing";
    EXPECT_EQ(UI.WaitDepth, 0);

    Device->TestAnswer = false;
    Device->TestText = W("Нет бумаги");
    Shell.miDeviceTestClick();
    EXPECT_EQ(UI.Boxes, std::vector<std::string>{"error: Нет бумаги"});

    // A failure on the way is told, not left to the window to swallow, and the table comes back.
    Device->OnTest = [] { throw EDriverError("Порт занят другой программой"); };
    Shell.miDeviceTestClick();
    EXPECT_EQ(UI.Boxes.back(), "error: Порт занят другой программой");
    EXPECT_EQ(Device->GetParamAsInteger("PortNumber"), 1);
    EXPECT_FALSE(Device->IsEnabled());
    EXPECT_EQ(UI.WaitDepth, 0);
}

TEST_F(CommonSettingsTest, DeviceTestReportsPagesThatCannotBeSavedAndAFailedEnabling) {
    Open();
    Pages[0]->Refuse = true;
    Shell.miDeviceTestClick();
    Pages[0]->Refuse = false;
    Device->EnableCode = 1008;
    Shell.miDeviceTestClick();
    EXPECT_EQ(UI.Boxes, (std::vector<std::string>{"error: Не удалось записать текущие настройки",
                                                  "error: Оборудование не готово"}));
    EXPECT_EQ(Device->Tests, 0);
    EXPECT_EQ(Device->GetParamAsInteger("PortNumber"), 1);
}
