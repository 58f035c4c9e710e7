// The device base as the host drives it: construction and destruction order, the base commands,
// their results and the state moves they make in every order a host may call them.
#include "DeviceTestSupport.h"

#include "framework/uVInfo.h"

using namespace devtest;

namespace {

class BaseDeviceTest : public ::testing::Test {
protected:
    TFakeEquipmentManager Manager;
    TJournal Journal = std::make_shared<std::vector<std::string>>();
    ComPtr<TTestDevice> Device = TTestDevice::Create(Journal);

    IDispatch* Disp() { return Device.Get(); }
    std::vector<std::string> JournalSince(std::size_t from) const {
        return {Journal->begin() + static_cast<std::ptrdiff_t>(from), Journal->end()};
    }
};

const std::string NoErrors = "Нет ошибок";
const std::string BadInput = "Ошибка входных параметров команды";

} // namespace

TEST_F(BaseDeviceTest, ConstructionRunsTheSubclassStepsInChainOrder) {
    EXPECT_EQ(*Journal, (std::vector<std::string>{"FillDeviceInfo", "RegisterMethods", "RegisterParams",
                                                  "AfterInitialize"}));
    EXPECT_EQ(Device->State(), dsCreated);
    EXPECT_FALSE(Device->TraceEnabled());
    EXPECT_EQ(Device->InstanceID().size(), 38u);
}

TEST_F(BaseDeviceTest, MethodTableHoldsTenBlanksThenTheBaseCommandsThenTheSubclass) {
    const TMethodArray& methods = Device->Methods();
    ASSERT_EQ(methods.size(), 21u);
    for (int i = 0; i < 10; ++i) {
        EXPECT_TRUE(methods[i].Name.empty());
        EXPECT_FALSE(methods[i].RawHandler || methods[i].CommandHandler);
    }
    const char* names[] = {"Init",    "Open",    "Close",       "ShowSettingsDlg", "GetDeviceInfo", "Enable",
                           "Disable", "GetSettings", "SetSettings", "CheckHealth",  "Extra"};
    const BYTE kinds[] = {0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 0};
    for (int i = 0; i < 11; ++i) {
        EXPECT_EQ(methods[10 + i].Name, names[i]);
        EXPECT_EQ(methods[10 + i].Kind, kinds[i]) << names[i];
    }
}

TEST_F(BaseDeviceTest, LastReleaseDisablesAndLetsTheSubclassCleanUpWhateverTheState) {
    for (bool enabled : {false, true}) {
        TJournal journal = std::make_shared<std::vector<std::string>>();
        {
            ComPtr<TTestDevice> device = TTestDevice::Create(journal);
            ASSERT_TRUE(Init(device.Get(), &Manager).Ok());
            if (enabled) {
                ASSERT_TRUE(Command(device.Get(), idEnable).Ok);
            }
            journal->clear();
            EXPECT_EQ(Manager.References(), 2u);
        }
        EXPECT_EQ(*journal, (std::vector<std::string>{"DoDisable", "BeforeDestroy"}));
        EXPECT_EQ(Manager.References(), 1u) << "the equipment manager is released";
    }
}

TEST_F(BaseDeviceTest, InitWithAnEquipmentManagerSucceedsAndAsksForModelFolderAndLanguage) {
    Manager.Answers = {{"ModelsFolder", "models"}, {"Language", "ru"}};
    TRawAnswer init = Init(Disp(), &Manager);
    EXPECT_TRUE(init.Ok());
    EXPECT_EQ(init.Text(), NoErrors);
    EXPECT_EQ(Device->State(), dsInitialized);
    EXPECT_FALSE(Device->IsEnabled());
    EXPECT_EQ(Device->ModelFolder(), Delimited({"models", "DRIVER-ID"}));
    EXPECT_EQ(Device->Language(), "ru");
    EXPECT_EQ(Manager.References(), 2u);
}

TEST_F(BaseDeviceTest, InitRefusesAnythingButAnObject) {
    Variant unknown;
    unknown.Get()->vt = VT_UNKNOWN;
    unknown.Get()->punkVal = &Manager;
    Manager.AddRef(); // owned by the Variant from here
    Variant nothing;
    nothing.Get()->vt = VT_DISPATCH;
    nothing.Get()->pdispVal = nullptr;
    for (const Variant* argument : {&unknown, &nothing}) {
        TRawAnswer init = Raw(Disp(), idInit, *argument);
        EXPECT_EQ(init.Hr, S_OK);
        EXPECT_FALSE(init.Ok());
        EXPECT_EQ(init.Text(), BadInput);
    }
    for (const Variant& argument : {Variant(), Variant(W("Manager"))}) {
        TRawAnswer init = Raw(Disp(), idInit, argument);
        EXPECT_FALSE(init.Ok());
        EXPECT_EQ(init.Text(), BadInput);
    }
    EXPECT_EQ(Device->State(), dsCreated);
    EXPECT_TRUE(Device->EquipmentManager().IsEmpty());
    EXPECT_TRUE(Manager.Questions.empty());
}

TEST_F(BaseDeviceTest, InitReportsTheStandardMessageOfItsCodeNotTheDevicesText) {
    Device->InitCode = 1007;
    Device->InitText = W("своё");
    TRawAnswer init = Init(Disp(), &Manager);
    EXPECT_FALSE(init.Ok());
    EXPECT_EQ(init.Text(), "Устройство не отвечает");
    EXPECT_EQ(Device->State(), dsCreated);
    EXPECT_TRUE(Manager.Questions.empty());
}

TEST_F(BaseDeviceTest, InitAndOpenWithOneArgumentWorkAndWriteNothingMore) {
    Manager.Answers = {{"DevicesFolder", "devices"}};
    Variant manager = Variant::FromDispatch(&Manager);
    std::vector<VARIANT> init{ByVal(manager)};
    THostCall initCall = Call(Disp(), idInit, init);
    EXPECT_EQ(initCall.Hr, S_OK);
    EXPECT_TRUE(initCall.Result.AsBoolean());
    Variant id(W("7"));
    std::vector<VARIANT> open{ByVal(id)};
    THostCall openCall = Call(Disp(), idOpen, open);
    EXPECT_EQ(openCall.Hr, S_OK);
    EXPECT_TRUE(openCall.Result.AsBoolean());
    EXPECT_EQ(Device->DeviceFolder(), Delimited({"devices", "7"}));
    // And with no arguments at all: refused as bad input, not a crash.
    std::vector<VARIANT> none;
    THostCall bare = Call(Disp(), idOpen, none);
    EXPECT_EQ(bare.Hr, S_OK);
    EXPECT_FALSE(bare.Result.AsBoolean());
}

TEST_F(BaseDeviceTest, OpenBeforeInitFailsForWantOfTheEquipmentManager) {
    TRawAnswer open = Open(Disp(), "7");
    EXPECT_EQ(open.Hr, DISP_E_EXCEPTION);
    EXPECT_EQ(open.Scode, 1001);
    EXPECT_EQ(open.Description, "Менеджер оборудования недоступен");
    EXPECT_TRUE(open.ErrorText.IsEmpty()) << "no write-back after a failure";
    EXPECT_EQ(Device->DeviceID(), "7");
    EXPECT_EQ(std::count(Journal->begin(), Journal->end(), "DoOpen 7"), 0);
}

TEST_F(BaseDeviceTest, OpenStoresTheIdentifierAndReportsTheDevicesText) {
    Manager.Answers = {{"DevicesFolder", "devices"}};
    ASSERT_TRUE(Init(Disp(), &Manager).Ok());
    TRawAnswer open = Open(Disp(), "Касса 1");
    EXPECT_TRUE(open.Ok());
    EXPECT_EQ(open.Text(), NoErrors);
    EXPECT_EQ(Device->DeviceID(), Utf8ToAnsi("Касса 1"));
    EXPECT_EQ(Device->State(), dsInitialized) << "Open does not move the state";
    EXPECT_EQ(Manager.Questions.back().DeviceID, "Касса 1");

    Device->OpenCode = 1006;
    Device->OpenText = W("нет azimuth.dll");
    open = Open(Disp(), "8");
    EXPECT_FALSE(open.Ok());
    EXPECT_EQ(open.Text(), "нет azimuth.dll");
    Device->OpenText.clear();
    EXPECT_EQ(Open(Disp(), "8").Text(), "Библиотека не найдена");
}

TEST_F(BaseDeviceTest, OpenRefusesAnIdentifierThatIsNoStringAndForgetsTheOldOne) {
    ASSERT_TRUE(Init(Disp(), &Manager).Ok());
    ASSERT_TRUE(Open(Disp(), "7").Ok());
    TRawAnswer open = Raw(Disp(), idOpen, Variant(7));
    EXPECT_FALSE(open.Ok());
    EXPECT_EQ(open.Text(), BadInput);
    EXPECT_EQ(Device->DeviceID(), "");
}

TEST_F(BaseDeviceTest, OpenAcceptsAnEmptyIdentifierWithoutAFolder) {
    Manager.Answers = {{"DevicesFolder", "devices"}};
    ASSERT_TRUE(Init(Disp(), &Manager).Ok());
    TRawAnswer open = Open(Disp(), "");
    EXPECT_TRUE(open.Ok());
    EXPECT_EQ(Device->DeviceID(), "");
    EXPECT_EQ(Device->DeviceFolder(), "");
    EXPECT_EQ(Journal->back(), "DoOpen ");
}

TEST_F(BaseDeviceTest, IdentifierIsCutToAShortString) {
    ASSERT_TRUE(Init(Disp(), &Manager).Ok());
    ASSERT_TRUE(Open(Disp(), std::string(300, 'x')).Ok());
    EXPECT_EQ(Device->DeviceID(), std::string(255, 'x'));
}

TEST_F(BaseDeviceTest, CloseForgetsIdentifierAndManagerButKeepsTheState) {
    std::vector<VARIANT> none;
    EXPECT_TRUE(Call(Disp(), idClose, none).Result.AsBoolean()) << "Close on a fresh object";

    ASSERT_TRUE(Init(Disp(), &Manager).Ok());
    ASSERT_TRUE(Open(Disp(), "7").Ok());
    ASSERT_TRUE(Command(Disp(), idEnable).Ok);
    const std::size_t mark = Journal->size();
    THostCall close = Call(Disp(), idClose, none);
    EXPECT_EQ(close.Hr, S_OK);
    EXPECT_TRUE(close.Result.AsBoolean());
    EXPECT_EQ(JournalSince(mark), (std::vector<std::string>{"DoClose", "AfterClose"}));
    EXPECT_EQ(Device->DeviceID(), "");
    EXPECT_TRUE(Device->EquipmentManager().IsEmpty());
    EXPECT_EQ(Manager.References(), 1u);
    EXPECT_EQ(Device->State(), dsEnabled);
    // The equipment manager is gone: Open fails until the next Init.
    EXPECT_EQ(Open(Disp(), "7").Hr, DISP_E_EXCEPTION);
}

TEST_F(BaseDeviceTest, DisableOnAFreshObjectSucceedsAndInitializes) {
    TCommandAnswer disable = Command(Disp(), idDisable);
    EXPECT_EQ(disable.Hr, S_OK);
    EXPECT_TRUE(disable.Ok);
    EXPECT_EQ(Device->State(), dsInitialized);
    EXPECT_EQ(Journal->back(), "DoDisable");
}

TEST_F(BaseDeviceTest, EnableTwiceConnectsTwice) {
    ASSERT_TRUE(Command(Disp(), idEnable).Ok);
    EXPECT_EQ(Device->State(), dsEnabled);
    ASSERT_TRUE(Command(Disp(), idEnable).Ok);
    EXPECT_EQ(Device->State(), dsEnabled);
    EXPECT_EQ(std::count(Journal->begin(), Journal->end(), "DoEnable"), 2);
}

TEST_F(BaseDeviceTest, FailedEnableOrDisableLeavesTheStateAndReportsCodeAndText) {
    Device->EnableCode = 1011;
    TCommandAnswer enable = Command(Disp(), idEnable);
    EXPECT_EQ(enable.Hr, S_OK);
    EXPECT_FALSE(enable.Ok);
    EXPECT_EQ(enable.Code(), 1011);
    EXPECT_EQ(enable.Text(), "Порт недоступен");
    EXPECT_EQ(Device->State(), dsCreated);

    Device->EnableCode = 0;
    ASSERT_TRUE(Command(Disp(), idEnable).Ok);
    Device->DisableCode = 1007;
    TCommandAnswer disable = Command(Disp(), idDisable);
    EXPECT_FALSE(disable.Ok);
    EXPECT_EQ(disable.Code(), 1007);
    EXPECT_EQ(Device->State(), dsEnabled);
}

TEST_F(BaseDeviceTest, EnableAndDisableHandlersCanBeReplacedWhole) {
    class TOwnEnable : public TTestDevice {
    protected:
        LONG EnableCommand(const Variant&, Variant& OutData, LONG, WString&) override {
            OutData = Variant(W("own"));
            return 0;
        }
        LONG DisableCommand(const Variant&, Variant&, LONG, WString& ErrorText) override {
            ErrorText = W("не сейчас");
            return 1009;
        }
    };
    ComPtr<TOwnEnable> device = CreateComObject<TOwnEnable>();
    TCommandAnswer enable = Command(device.Get(), idEnable);
    EXPECT_TRUE(enable.Ok);
    EXPECT_EQ(U8(enable.OutData.AsWide()), "own");
    EXPECT_EQ(device->State(), dsCreated) << "the base's EnableDevice did not run";
    TCommandAnswer disable = Command(device.Get(), idDisable);
    EXPECT_EQ(disable.Code(), 1009);
    EXPECT_EQ(disable.Text(), "не сейчас");
}

TEST_F(BaseDeviceTest, HostLifeCycleInItsUsualOrder) {
    Manager.Answers = {{"DevicesFolder", "devices"}};
    ASSERT_TRUE(Init(Disp(), &Manager).Ok());
    ASSERT_TRUE(Open(Disp(), "7").Ok());
    ASSERT_TRUE(Command(Disp(), idEnable).Ok);
    EXPECT_TRUE(Device->IsEnabled());
    EXPECT_TRUE(Command(Disp(), idCheckHealth).Ok);
    ASSERT_TRUE(Command(Disp(), idDisable).Ok);
    EXPECT_EQ(Device->State(), dsInitialized);
    std::vector<VARIANT> none;
    EXPECT_TRUE(Call(Disp(), idClose, none).Result.AsBoolean());
    EXPECT_EQ(*Journal, (std::vector<std::string>{"FillDeviceInfo", "RegisterMethods", "RegisterParams",
                                                  "AfterInitialize", "DoInit", "DoOpen 7", "DoEnable",
                                                  "DoCheckHealth", "DoDisable", "DoClose", "AfterClose"}));
}

TEST_F(BaseDeviceTest, CheckHealthPassesTheDevicesCodeAndText) {
    Device->HealthCode = 3001;
    TCommandAnswer health = Command(Disp(), idCheckHealth);
    EXPECT_EQ(health.Code(), 3001);
    EXPECT_EQ(health.Text(), "Нет бумаги");
    Device->HealthText = W("крышка открыта");
    EXPECT_EQ(Command(Disp(), idCheckHealth).Text(), "крышка открыта");
}

TEST_F(BaseDeviceTest, ShowSettingsDlgNeedsADialogAndReportsCancel) {
    TCommandAnswer show = Command(Disp(), idShowSettingsDlg);
    EXPECT_FALSE(show.Ok);
    EXPECT_EQ(show.Code(), 1003);
    EXPECT_EQ(show.Text(), "Команда не поддерживаеся устройством");
    EXPECT_EQ(std::count(Journal->begin(), Journal->end(), "DoShowSettingsDlg"), 0);

    Device->Info().HasSettingsDialog = true;
    show = Command(Disp(), idShowSettingsDlg);
    EXPECT_EQ(show.Code(), 201);
    EXPECT_EQ(show.Text(), "Операция отменена пользователем");
    Device->DialogAnswer = true;
    EXPECT_TRUE(Command(Disp(), idShowSettingsDlg).Ok);
}

TEST_F(BaseDeviceTest, GetDeviceInfoReportsTheBaseDefaults) {
    TCommandAnswer info = Command(Disp(), idGetDeviceInfo);
    ASSERT_TRUE(info.Ok);
    ArrayReader a(info.OutData.Raw());
    ASSERT_EQ(a.Count(), 15);
    const TFileVersion version = GetFileVersion("");
    EXPECT_EQ(U8(a.Item(0).AsWide()), "Unknown");
    EXPECT_EQ(U8(a.Item(1).AsWide()), "DRIVER-ID");
    EXPECT_EQ(U8(a.Item(2).AsWide()), "");
    EXPECT_EQ(a.Item(3).AsInteger(), version.Major);
    EXPECT_EQ(a.Item(4).AsInteger(), version.Minor);
    EXPECT_EQ(a.Item(5).AsInteger(), version.Build);
    EXPECT_EQ(U8(a.Item(6).AsWide()), "");
    EXPECT_EQ(a.Item(7).AsInteger(), 1);
    EXPECT_EQ(a.Item(8).Type(), VT_BOOL);
    EXPECT_FALSE(a.Item(8).AsBoolean());
    EXPECT_EQ(U8(a.Item(10).AsWide()), "Kelvo");
    for (LONG i = 11; i <= 14; ++i)
        EXPECT_FALSE(a.Item(i).AsWide().empty()) << "maker contact " << i;
}

TEST_F(BaseDeviceTest, SetEnabledMovesOnlyWhenNeededAndDropsTheText) {
    Device->SetEnabled(false);
    EXPECT_EQ(std::count(Journal->begin(), Journal->end(), "DoDisable"), 0) << "a fresh device is not enabled";
    Device->EnableCode = 1011;
    Device->SetEnabled(true);
    EXPECT_EQ(Device->State(), dsCreated);
    Device->EnableCode = 0;
    Device->SetEnabled(true);
    Device->SetEnabled(true);
    EXPECT_EQ(std::count(Journal->begin(), Journal->end(), "DoEnable"), 2);
    EXPECT_TRUE(Device->IsEnabled());
    Device->SetEnabled(false);
    EXPECT_EQ(Device->State(), dsInitialized);
}
