#include "PortListing.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

class OnePrinter : public TUSBPrintEnumerator {
public:
    bool Enumerate(std::vector<TUSBPrintItem>& Items) override {
        Items.push_back({"/dev/usb/lp0", "USB001", Utf8ToAnsi("Чековый принтер"), true});
        return true;
    }
};

TEST(HostListPorts, PrintsEveryKindWithTheOpenTestsResultAndTheDisplayName) {
    TPortsEnvironment environment;
    environment.ListPorts = [](TPortType kind) {
        return kind == ptCOM ? TPortList{{Utf8ToAnsi("Последовательный порт (COM1)"), 1}, {"COM3", 3}} : TPortList{};
    };
    environment.USBPrinters = [] { return std::make_unique<OnePrinter>(); };
    environment.TryOpenPort = [](const std::string& name) { return name == "COM3"; };
    std::ostringstream out;
    EXPECT_EQ(host::ListPorts(out, environment), 3);
    EXPECT_EQ(out.str(),
              "serial ports: 2\n"
              "  COM1    unavailable  Последовательный порт (COM1)\n"
              "  COM3    available    COM3\n"
              "parallel ports: 0\n"
              "USB printers: 1\n"
              "  USB001  available    USB001 (Чековый принтер)  /dev/usb/lp0\n");
}

} // namespace
