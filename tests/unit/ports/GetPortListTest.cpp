// The merge rules of the port list, against fake device maps and Ports-class devices.
#include "ports/USBPrintLib.h"
#include "ports/uGetPortList.h"

#include <gtest/gtest.h>

namespace {

class FakeSources : public TPortSources {
public:
    std::vector<std::string> Com, Lpt;
    bool Loaded = true, Hidden = false;
    std::vector<TPortsClassDevice> Devices;

    std::vector<std::string> DeviceMapValues(TPortType Kind) const override { return Kind == ptLPT ? Lpt : Com; }
    bool SetupInterfaceLoaded() const override { return Loaded; }
    bool PortsClassHidden() const override { return Hidden; }
    std::vector<TPortsClassDevice> PortsClassDevices() const override { return Devices; }
};

TPortsClassDevice Named(std::string Friendly, std::optional<std::string> PortName = std::nullopt) {
    TPortsClassDevice d;
    d.FriendlyName = std::move(Friendly);
    d.PortName = std::move(PortName);
    return d;
}

std::string Show(const TPortList& List) {
    std::string s;
    for (const auto& line : List)
        s += std::to_string(line.Number) + "=" + line.Name + ";";
    return s;
}

TEST(GetPortList, FriendlyNameReplacesTheMapLineOfItsNumberAndTheListIsSortedByNumber) {
    FakeSources s;
    s.Com = {"COM3", "COM1"};
    s.Devices = {Named("Communications Port (COM1)")};
    EXPECT_EQ(Show(GetPortList(ptCOM, s)), "1=Communications Port (COM1);3=COM3;");
}

TEST(GetPortList, DeviceMapNamesStartAtThePrefixAndRepeatsAreDroppedWithoutRegardToCase) {
    FakeSources s;
    s.Com = {"COM2", "com2", "\\Device\\Serial0\\COM2", "COMX", "Serial", "COM1234"};
    s.Lpt = {"\\DosDevices\\LPT1", "LPT2"};
    // COM1234: the number is read from three digits (123) and the name is the whole rest.
    EXPECT_EQ(Show(GetPortList(ptCOM, s)), "2=COM2;123=COM1234;");
    EXPECT_EQ(Show(GetPortList(ptLPT, s)), "1=LPT1;2=LPT2;");
    EXPECT_TRUE(GetPortList(ptUSB, s).empty());
}

TEST(GetPortList, PortNameValueGivesTheNumberWhenTheNameHasNone) {
    FakeSources s;
    s.Devices = {Named("USB COM adapter", "COM12"), Named("Modem (COM5)", "COMx"), Named("Printer port", "LPT3")};
    // "COMx" in PortName is not a number even though the name carries one.
    EXPECT_EQ(Show(GetPortList(ptCOM, s)), "12=USB COM adapter;");
    // A device whose name shows neither prefix is of no kind.
    EXPECT_EQ(Show(GetPortList(ptLPT, s)), "");
}

TEST(GetPortList, NumberInParenthesesOfTheDeviceName) {
    FakeSources s;
    s.Devices = {Named("Port (com7)"),   Named("Port (COM)"),      Named("Port (COM8"), Named("Port (COM18"),
                 Named("Port (COM9) extra"),
                 Named("Port (COM)7"),   Named("Port (COMab)"),    Named("Parallel (LPT2)")};
    // Upper-cased for the search, yet kinds are told apart case-sensitively: "Port (com7)" has no
    // "COM". One character after "(COM" is too few.
    EXPECT_EQ(Show(GetPortList(ptCOM, s)), "9=Port (COM9) extra;18=Port (COM18;");
    EXPECT_EQ(Show(GetPortList(ptLPT, s)), "2=Parallel (LPT2);");
}

TEST(GetPortList, DeviceNameIsTheFirstNonEmptyPropertyAndDevicesWithoutOneAreSkipped) {
    FakeSources s;
    TPortsClassDevice described, nameless;
    described.FriendlyName = "";
    described.DeviceDesc = "COM bridge";
    described.PortName = "COM4";
    nameless.PortName = "COM6";
    s.Devices = {described, nameless};
    EXPECT_EQ(Show(GetPortList(ptCOM, s)), "4=COM bridge;");
}

TEST(GetPortList, DevicePassAddsNothingWhenTheSetupInterfaceIsMissingOrTheClassIsHidden) {
    FakeSources s;
    s.Com = {"COM1"};
    s.Devices = {Named("Communications Port (COM1)"), Named("Bluetooth (COM9)")};
    s.Loaded = false;
    EXPECT_EQ(Show(GetPortList(ptCOM, s)), "1=COM1;");
    s.Loaded = true;
    s.Hidden = true;
    EXPECT_EQ(Show(GetPortList(ptCOM, s)), "1=COM1;");
    // A device whose status cannot be read ends the pass; the ones before it count.
    s.Hidden = false;
    s.Devices.insert(s.Devices.begin() + 1, Named("Broken (COM2)"));
    s.Devices[1].StatusRead = false;
    EXPECT_EQ(Show(GetPortList(ptCOM, s)), "1=Communications Port (COM1);");
}

TEST(GetPortList, TwoDevicesOfOneNumberLeaveOneLine) {
    FakeSources s;
    s.Devices = {Named("First (COM3)"), Named("Second (COM3)")};
    EXPECT_EQ(Show(GetPortList(ptCOM, s)), "3=Second (COM3);");
}

class FakeEnumerator : public TUSBPrintEnumerator {
public:
    bool Complete = true;
    bool Enumerate(std::vector<TUSBPrintItem>& Items) override {
        Items.push_back({"\\\\?\\usb#1", "USB001", "Receipt printer", true});
        return Complete;
    }
};

TEST(USBPrintList, RefreshReadsAnewAndItemsRefusesABadIndexWithItsText) {
    auto enumerator = std::make_unique<FakeEnumerator>();
    FakeEnumerator* fake = enumerator.get();
    TUSBPrintList list(std::move(enumerator));
    EXPECT_TRUE(list.Refresh());
    EXPECT_TRUE(list.Refresh());
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list.Items(0).Location, "USB001");
    fake->Complete = false;
    EXPECT_FALSE(list.Refresh());
    EXPECT_EQ(list.Count(), 1);
    try {
        list.Items(1);
        FAIL() << "no failure for index 1";
    } catch (const EUSBPrintIndexError& e) {
        EXPECT_STREQ(e.what(), "Ошибка: \r\nНеверный индекс устройства");
    }
    EXPECT_THROW(list.Items(-1), EUSBPrintIndexError);
}

} // namespace
