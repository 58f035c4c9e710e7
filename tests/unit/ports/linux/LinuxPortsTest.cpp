// The Linux back end's numbering and names, on a made-up sysfs and /dev.
#include "ports/linux/LinuxPorts.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class LinuxPorts : public ::testing::Test {
protected:
    void SetUp() override {
        FRoot = fs::temp_directory_path() / ("orvel27-sysfs-" + std::to_string(::getpid()));
        fs::remove_all(FRoot);
        FRoots.Sys = (FRoot / "sys").string();
        FRoots.Dev = (FRoot / "dev").string();
    }
    void TearDown() override { fs::remove_all(FRoot); }

    void Write(const fs::path& File, const std::string& Text) {
        fs::create_directories(File.parent_path());
        std::ofstream(File) << Text << "\n";
    }
    // A USB device folder with its strings, and a class device below it.
    void UsbClassDevice(const std::string& Class, const std::string& Name, const std::string& Product,
                        const std::string& Authorized = "1") {
        const fs::path usb = FRoot / "sys" / "devices" / ("usb-" + Name);
        Write(usb / "manufacturer", "Acme");
        Write(usb / "product", Product);
        Write(usb / "authorized", Authorized);
        fs::create_directories(usb / "1-1:1.0" / Name);
        fs::create_directories(FRoot / "sys" / "class" / Class / Name);
        fs::create_directory_symlink(usb / "1-1:1.0" / Name, FRoot / "sys" / "class" / Class / Name / "device");
    }

    fs::path FRoot;
    TLinuxRoots FRoots;
};

TEST_F(LinuxPorts, SerialPortsAreNumberedFromTheirDevicesAndNamedByTheirProducts) {
    Write(FRoot / "sys/class/tty/ttyS0/type", "4");
    Write(FRoot / "sys/class/tty/ttyS1/type", "0"); // no UART behind it
    Write(FRoot / "sys/class/tty/ttyS3/type", "4");
    UsbClassDevice("tty", "ttyUSB0", "FT232R USB UART");
    UsbClassDevice("tty", "ttyACM0", "Fiscal Printer");
    fs::create_directories(FRoot / "dev/serial/by-id");
    fs::create_symlink("../../ttyUSB0", FRoot / "dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A601EGHT-if00-port0");
    Write(FRoot / "sys/class/printer/lp0/dev", "6:0");

    std::vector<std::string> seen;
    for (const TLinuxPort& port : ScanLinuxPorts(FRoots))
        seen.push_back(PortName(port.Kind, port.Number) + " " + port.Node.substr(FRoots.Dev.size()) + " " + LinuxFriendlyName(port));
    EXPECT_EQ(seen, (std::vector<std::string>{
                        "COM1 /ttyS0 ttyS0 (COM1)",
                        "COM4 /ttyS3 ttyS3 (COM4)",
                        "COM5 /ttyUSB0 FTDI FT232R USB UART A601EGHT ttyUSB0 (COM5)",
                        "COM6 /ttyACM0 Acme Fiscal Printer ttyACM0 (COM6)",
                        "LPT1 /lp0 lp0 (LPT1)",
                    }));
    EXPECT_EQ(LinuxPortNode("com5", FRoots), FRoots.Dev + "/ttyUSB0");
    EXPECT_EQ(LinuxPortNode("COM2", FRoots), "");
}

TEST_F(LinuxPorts, UsbPrintersAreShownByTheirPlaceAndDisabledWhenNotAuthorized) {
    UsbClassDevice("usbmisc", "lp0", "Receipt Printer");
    UsbClassDevice("usbmisc", "lp1", "Acme Label Printer", "0");
    const auto printers = ScanLinuxUSBPrinters(FRoots);
    ASSERT_EQ(printers.size(), 2u);
    EXPECT_EQ(printers[0].DevicePath, FRoots.Dev + "/usb/lp0");
    EXPECT_EQ(printers[0].Location, "USB001");
    EXPECT_EQ(printers[0].Description, "Acme Receipt Printer");
    EXPECT_TRUE(printers[0].Enabled);
    EXPECT_EQ(printers[1].Description, "Acme Label Printer");
    EXPECT_FALSE(printers[1].Enabled);
}

} // namespace
