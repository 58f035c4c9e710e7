// The device's parameter groups as the host and the settings list see them, and the snapshots
// the settings dialogs take and restore.
#include "DeviceTestSupport.h"

using namespace devtest;

namespace {

struct TExpectedParam {
    const char* Name;
    const char* Type;
    Variant Default;
    const char* Caption;
    const char* Description;
};

// Checks the columns of GetSettings from column `first` on against the expected entries.
void ExpectSettings(IDispatch* device, LONG first, const std::vector<TExpectedParam>& expected) {
    TCommandAnswer settings = Command(device, idGetSettings);
    ASSERT_TRUE(settings.Ok);
    const Variant tableValue = ArrayReader(settings.OutData.Raw()).Item(0);
    ArrayReader table(tableValue.Raw());
    ASSERT_GE(table.Count(2), first + static_cast<LONG>(expected.size()));
    for (std::size_t k = 0; k < expected.size(); ++k) {
        const LONG i = first + static_cast<LONG>(k);
        const TExpectedParam& e = expected[k];
        EXPECT_EQ(U8(table.Item(0, i).AsWide()), e.Name);
        EXPECT_EQ(U8(table.Item(2, i).AsWide()), e.Type) << e.Name;
        EXPECT_EQ(table.Item(1, i).Type(), e.Default.Type()) << e.Name;
        EXPECT_EQ(table.Item(1, i).AsInteger(), e.Default.AsInteger()) << e.Name;
        EXPECT_EQ(table.Item(3, i).AsInteger(), e.Default.AsInteger()) << e.Name;
        EXPECT_FALSE(table.Item(4, i).AsBoolean()) << e.Name;
        EXPECT_EQ(U8(table.Item(5, i).AsWide()), e.Caption) << e.Name;
        EXPECT_EQ(U8(table.Item(6, i).AsWide()), e.Description) << e.Name;
    }
}

class SerialDevice : public TTestDevice {
protected:
    void RegisterParams() override {
        TTestDevice::RegisterParams();
        AddParam("PortNumber", ptNumber, Variant(3), false, Utf8ToAnsi("Порт"), Utf8ToAnsi("свой"));
        RegisterPortParams();
        RegisterLineParams();
    }
};

} // namespace

TEST(DeviceParams, CommonGroupComesFirstWithItsTexts) {
    ComPtr<TTestDevice> device = TTestDevice::Create();
    EXPECT_EQ(device->GetParamCount(), 3);
    ExpectSettings(device.Get(), 0,
                   {
                       {"DefaultTimeOut", "Number", Variant(120), "Таймаут по умолчанию",
                        "Таймаут по умолчанию. Используется в случае, если при вызове метода параметр Timeout "
                        "равен 0"},
                       {"EventLogEnabled", "Boolean", Variant(false), "Журнал событий",
                        "Если равно True, ведется журнал критических событий и ошибок"},
                       {"DebugLogEnabled", "Boolean", Variant(false), "Отладочный лог",
                        "Если равно True, ведется отладочный лог"},
                   });
}

TEST(DeviceParams, PortAndLineGroupsOnRequestWithTheSubclassesCaptionKept) {
    ComPtr<SerialDevice> device = CreateComObject<SerialDevice>();
    const char* names[] = {"DefaultTimeOut", "EventLogEnabled", "DebugLogEnabled", "PortNumber", "Baud",
                           "DataBits",       "StopBits",        "Parity",          "IsOpen",     "FlowControl",
                           "ControlDTR",     "ControlRTS",      "TimeOutWrite"};
    const int defaults[] = {120, 0, 0, 1, 9600, 8, 1, 0, -1, 2, 0, 0, 10};
    ASSERT_EQ(device->GetParamCount(), 13);
    for (LONG i = 0; i < 13; ++i) {
        const TSettingStruct& p = *device->GetParamByIndex(i);
        EXPECT_EQ(p.Name, names[i]);
        EXPECT_EQ(p.Default.AsInteger(), defaults[i]) << p.Name;
        EXPECT_EQ(p.Type, p.Default.Type() == VT_BOOL ? ptBoolean : ptNumber) << p.Name;
    }
    // Registered by the subclass first: the port group resets its value, default and
    // description, but the caption stays the subclass's.
    ExpectSettings(device.Get(), 3,
                   {{"PortNumber", "Number", Variant(1), "Порт", "Номер порта\r\nДопустимые значения: 1, 2, 3..."}});
    // Quotes inside a description, and the one caption cut short, as hosts know them.
    EXPECT_NE(device->FindParam("Parity")->Description.find(Utf8ToAnsi("0 - \"Отсутствует (None)\", 1")),
              std::string::npos);
    EXPECT_EQ(device->FindParam("FlowControl")->Caption, Utf8ToAnsi("Управление потоком данны"));
}

TEST(DeviceParams, SnapshotRestoresEveryValueAndEmptiesItself) {
    ComPtr<TTestDevice> device = TTestDevice::Create();
    device->SetParamValue("DefaultTimeOut", Variant(30));
    device->SaveParams();
    ASSERT_EQ(device->ParamBackup().size(), 3u);
    EXPECT_EQ(device->ParamBackup()[0].Name, "DefaultTimeOut");
    device->SetParamValue("DefaultTimeOut", Variant(W("changed")));
    device->SetParamValue("DebugLogEnabled", Variant(true));
    device->RestoreParams();
    EXPECT_EQ(device->GetParamAsInteger("DefaultTimeOut"), 30);
    EXPECT_FALSE(device->GetParamAsBoolean("DebugLogEnabled"));
    EXPECT_TRUE(device->ParamBackup().empty());
    // A second restore has nothing left to undo.
    device->SetParamValue("DefaultTimeOut", Variant(5));
    device->RestoreParams();
    EXPECT_EQ(device->GetParamAsInteger("DefaultTimeOut"), 5);
}

TEST(DeviceParams, NamedSnapshotSkipsUnknownNamesOnRestore) {
    ComPtr<TTestDevice> device = TTestDevice::Create();
    device->SaveParamsByName({"debuglogenabled", "NoSuchParam"});
    ASSERT_EQ(device->ParamBackup().size(), 2u);
    EXPECT_TRUE(device->ParamBackup()[1].Value.IsEmpty());
    device->SetParamValue("DebugLogEnabled", Variant(true));
    device->SetParamValue("DefaultTimeOut", Variant(1));
    device->RestoreParams();
    EXPECT_FALSE(device->GetParamAsBoolean("DebugLogEnabled"));
    EXPECT_EQ(device->GetParamAsInteger("DefaultTimeOut"), 1) << "not in the snapshot";
    EXPECT_EQ(device->GetParamCount(), 3) << "no parameter made up";
    EXPECT_TRUE(device->ParamBackup().empty());
}

TEST(DeviceParams, ParamByIndexOnlyInsideTheTable) {
    ComPtr<TTestDevice> device = TTestDevice::Create();
    EXPECT_EQ(device->GetParamByIndex(-1), nullptr);
    EXPECT_EQ(device->GetParamByIndex(3), nullptr);
    ASSERT_NE(device->GetParamByIndex(2), nullptr);
    EXPECT_EQ(device->GetParamByIndex(2)->Name, "DebugLogEnabled");
}
