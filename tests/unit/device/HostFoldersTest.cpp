// What the device learns from the host's equipment manager (folders, language) and what it
// writes at the head of its debug log.
#include "DeviceTestSupport.h"

#include "framework/uEquipmentErrors.h"
#include "framework/uVInfo.h"

using namespace devtest;

namespace {

class HostFoldersTest : public ::testing::Test {
protected:
    TFakeEquipmentManager Manager;
    ComPtr<TTestDevice> Device = TTestDevice::Create();
    IDispatch* Disp() { return Device.Get(); }

    std::string DeviceFolderFor(const std::string& hostFolder, const std::string& id) {
        Manager.Answers["DevicesFolder"] = hostFolder;
        EXPECT_TRUE(Init(Disp(), &Manager).Ok());
        EXPECT_TRUE(Open(Disp(), id).Ok());
        return Device->DeviceFolder();
    }
};

// InData of SetSettings that changes one parameter.
Variant SettingsWith(const char* name, Variant value) {
    VariantArray2D table(2, 1);
    table.Set(0, 0, Variant(W(name)));
    table.Set(1, 0, std::move(value));
    return MakeVariantArray({table.Release()});
}

} // namespace

TEST_F(HostFoldersTest, DeviceFolderGetsExactlyOneDelimiterBeforeTheIdentifier) {
    const char d = platform::PathDelimiter();
    EXPECT_EQ(DeviceFolderFor("Data", "7"), std::string("Data") + d + "7" + d);
    EXPECT_EQ(DeviceFolderFor(std::string("Data") + d, "7"), std::string("Data") + d + "7" + d);
}

TEST_F(HostFoldersTest, NoDeviceFolderWithoutIdentifierOrHostAnswer) {
    EXPECT_EQ(DeviceFolderFor("Data", ""), "");
    Manager.Valid = false;
    EXPECT_EQ(DeviceFolderFor("Data", "7"), "") << "the host said the value is not valid";
    Manager.Valid = true;
    EXPECT_EQ(DeviceFolderFor("", "7"), "");
}

TEST_F(HostFoldersTest, ModelFolderAndLanguageAreEmptyWhenTheHostHasNone) {
    ASSERT_TRUE(Init(Disp(), &Manager).Ok());
    EXPECT_EQ(Device->ModelFolder(), "");
    EXPECT_EQ(Device->Language(), "");
}

TEST_F(HostFoldersTest, HostIsAskedWithStringsAndATypedStringReference) {
    Manager.Answers = {{"DevicesFolder", "Данные"}, {"ModelsFolder", "m"}, {"Language", "ru"}};
    ASSERT_TRUE(Init(Disp(), &Manager).Ok());
    ASSERT_TRUE(Open(Disp(), "Касса").Ok());
    ASSERT_EQ(Manager.Questions.size(), 3u);
    const char* names[] = {"ModelsFolder", "Language", "DevicesFolder"};
    const char* ids[] = {"", "", "Касса"};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(Manager.Questions[i].Name, names[i]);
        EXPECT_EQ(Manager.Questions[i].DeviceID, ids[i]);
        EXPECT_EQ(Manager.Questions[i].ValueType, VT_BYREF | VT_BSTR);
    }
    EXPECT_EQ(Device->DeviceFolder(), Utf8ToAnsi(Delimited({"Данные", "Касса"})));
}

TEST_F(HostFoldersTest, EquipmentManagerWithoutGetAppPropertyFailsInitAndOpen) {
    Manager.HasGetAppProperty = false;
    TRawAnswer init = Init(Disp(), &Manager);
    EXPECT_EQ(init.Hr, DISP_E_EXCEPTION);
    EXPECT_EQ(init.Scode, 1001);
    EXPECT_NE(init.Description.find("GetAppProperty"), std::string::npos) << init.Description;
    EXPECT_EQ(Device->State(), dsInitialized) << "DoInit had succeeded";
    TRawAnswer open = Open(Disp(), "7");
    EXPECT_EQ(open.Hr, DISP_E_EXCEPTION);
    EXPECT_EQ(open.Scode, 1001);
}

TEST_F(HostFoldersTest, HostsOwnFailureTextReachesTheHost) {
    ASSERT_TRUE(Init(Disp(), &Manager).Ok());
    Manager.RaiseText = "Устройство 7 не настроено";
    TRawAnswer open = Open(Disp(), "7");
    EXPECT_EQ(open.Hr, DISP_E_EXCEPTION);
    EXPECT_EQ(open.Description, "Устройство 7 не настроено");
}

// ---------------------------------------------------------------------------------------------
// The debug log

namespace {

class DeviceLogTest : public HostFoldersTest {
protected:
    TTempFolder Folder;
    TFixedClock Clock{{2026, 12, 7, 9, 5, 3, 7}};
    std::string LogName;

    void SetUp() override {
        Manager.Answers["DevicesFolder"] = Folder.Ansi();
        ASSERT_TRUE(Init(Disp(), &Manager).Ok());
        ASSERT_TRUE(Open(Disp(), "7").Ok());
        std::filesystem::create_directories(Folder.Path / "7");
        LogName = (Folder.Path / "7" / "Debug_2026.12.07.log").string();
    }
    std::vector<std::string> Log() {
        std::vector<std::string> bodies;
        const std::string marker = " Inst.: " + Device->InstanceID() + "\t";
        for (const std::string& line : Lines(ReadFile(LogName))) {
            auto pos = line.find(marker);
            bodies.push_back(pos == std::string::npos ? "<" + line + ">" : line.substr(pos + marker.size()));
        }
        return bodies;
    }
};

} // namespace

TEST_F(DeviceLogTest, HeaderThenDeviceCallsUntilDisable) {
    ASSERT_TRUE(Command(Disp(), idSetSettings, SettingsWith("DebugLogEnabled", Variant(true))).Ok);
    ASSERT_TRUE(Command(Disp(), idEnable).Ok);
    ASSERT_TRUE(Command(Disp(), idCheckHealth).Ok);
    ASSERT_TRUE(Command(Disp(), idDisable).Ok);

    const TFileVersion v = GetFileVersion("");
    const std::string version =
        std::to_string(v.Major) + "." + std::to_string(v.Minor) + "." + std::to_string(v.Build);
    EXPECT_EQ(Log(), (std::vector<std::string>{
                         std::string(40, ' '),
                         "============Begin debug log=============",
                         "driver ver.: \t" + version,
                         "device ID: \t7",
                         "----------------Settings----------------",
                         "DefaultTimeOut: \t120",
                         "EventLogEnabled: \tFalse",
                         "DebugLogEnabled: \tTrue",
                         "----------------------------------------",
                         // Tracing is on before the device connects, but Enable itself is not traced.
                         "DoEnable: \t",
                         "> CheckHealth: \tInData: EMPTY",
                         "< CheckHealth: \tResult=True; OutData: EMPTY",
                         "> Disable: \tInData: EMPTY",
                         // Tracing goes off after the device has disconnected.
                         "DoDisable: \t",
                     }));
}

TEST_F(DeviceLogTest, SettingTheSwitchTakesEffectAtTheNextEnable) {
    ASSERT_TRUE(Command(Disp(), idEnable).Ok);
    ASSERT_TRUE(Command(Disp(), idSetSettings, SettingsWith("DebugLogEnabled", Variant(true))).Ok);
    ASSERT_TRUE(Command(Disp(), idCheckHealth).Ok);
    EXPECT_FALSE(std::filesystem::exists(LogName));
    ASSERT_TRUE(Command(Disp(), idEnable).Ok);
    ASSERT_FALSE(Log().empty());
    EXPECT_EQ(Log()[1], "============Begin debug log=============");

    // Enabling again with tracing on writes no second header.
    ASSERT_TRUE(Command(Disp(), idEnable).Ok);
    const auto lines = Log();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "============Begin debug log============="), 1);

    // Switched off: the next Enable stops the log.
    ASSERT_TRUE(Command(Disp(), idSetSettings, SettingsWith("DebugLogEnabled", Variant(false))).Ok);
    ASSERT_TRUE(Command(Disp(), idEnable).Ok);
    const std::size_t before = Log().size();
    ASSERT_TRUE(Command(Disp(), idCheckHealth).Ok);
    EXPECT_EQ(Log().size(), before);
}

TEST_F(DeviceLogTest, EnableSendsTheLogToTheFolderComputedAtOpen) {
    ASSERT_TRUE(Open(Disp(), "8").Ok());
    ASSERT_TRUE(Command(Disp(), idEnable).Ok);
    EXPECT_EQ(Device->LogPath(), Delimited({Folder.Ansi(), "8"}));
    // Close forgets the identifier, not the folder.
    std::vector<VARIANT> none;
    Call(Disp(), idClose, none);
    ASSERT_TRUE(Command(Disp(), idEnable).Ok);
    EXPECT_EQ(Device->LogPath(), Delimited({Folder.Ansi(), "8"}));
}

TEST_F(DeviceLogTest, SetSettingsCallsBackOnlyWhenValuesWereStored) {
    auto journal = Device->Journal;
    ASSERT_TRUE(Command(Disp(), idSetSettings, SettingsWith("NoSuchName", Variant(1))).Ok);
    EXPECT_EQ(journal->back(), "SettingsApplied");
    journal->clear();
    TCommandAnswer refused = Command(Disp(), idSetSettings, Variant(W("not an array")));
    EXPECT_EQ(refused.Code(), 1004);
    EXPECT_TRUE(journal->empty());
}
