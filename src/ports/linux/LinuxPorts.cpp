#include "ports/linux/LinuxPorts.h"

#include "framework/uCommonUtils.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <system_error>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// The first line of a sysfs attribute; empty when it cannot be read.
std::string ReadAttribute(const fs::path& File) {
    std::ifstream in(File);
    std::string line;
    std::getline(in, line);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r' || line.back() == ' '))
        line.pop_back();
    return line;
}

// The index of an entry named Prefix<k>, when the rest is a decimal number.
std::optional<int> IndexOf(const std::string& Name, const std::string& Prefix) {
    if (Name.size() <= Prefix.size() || Name.compare(0, Prefix.size(), Prefix) != 0 || Name.size() > Prefix.size() + 6)
        return std::nullopt;
    int k = 0;
    for (std::size_t i = Prefix.size(); i < Name.size(); ++i) {
        if (Name[i] < '0' || Name[i] > '9')
            return std::nullopt;
        k = k * 10 + (Name[i] - '0');
    }
    return k;
}

// Names of the entries of a class folder with their index, by index.
std::map<int, std::string> ClassEntries(const fs::path& Folder, const std::string& Prefix) {
    std::map<int, std::string> entries;
    std::error_code ec;
    for (fs::directory_iterator it(Folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (auto k = IndexOf(name, Prefix))
            entries.emplace(*k, name);
    }
    return entries;
}

// The USB device above a class device: the first folder upwards with a "product" attribute.
std::optional<fs::path> UsbDeviceOf(const fs::path& ClassDevice) {
    std::error_code ec;
    fs::path dir = fs::canonical(ClassDevice / "device", ec);
    for (int level = 0; !ec && level < 5 && dir.has_relative_path(); ++level, dir = dir.parent_path())
        if (fs::exists(dir / "product", ec))
            return dir;
    return std::nullopt;
}

std::string UsbProductName(const fs::path& UsbDevice) {
    std::string maker = ReadAttribute(UsbDevice / "manufacturer");
    std::string product = ReadAttribute(UsbDevice / "product");
    if (maker.empty() || product.rfind(maker, 0) == 0)
        return product;
    return product.empty() ? maker : maker + " " + product;
}

// The name udev gives a USB serial device in /dev/serial/by-id, made readable:
// usb-FTDI_FT232R_USB_UART_A601EGHT-if00-port0 -> FTDI FT232R USB UART A601EGHT.
std::string ByIdName(const TLinuxRoots& Roots, const std::string& KernelName) {
    std::error_code ec;
    for (fs::directory_iterator it(fs::path(Roots.Dev) / "serial" / "by-id", ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code linkError;
        const fs::path target = fs::read_symlink(it->path(), linkError);
        if (linkError || target.filename() != KernelName)
            continue;
        std::string name = it->path().filename().string();
        if (name.rfind("usb-", 0) == 0)
            name.erase(0, 4);
        if (auto p = name.rfind("-if"); p != std::string::npos)
            name.resize(p);
        std::replace(name.begin(), name.end(), '_', ' ');
        return name;
    }
    return {};
}

} // namespace

std::vector<TLinuxPort> ScanLinuxPorts(const TLinuxRoots& Roots) {
    std::vector<TLinuxPort> ports;
    const fs::path tty = fs::path(Roots.Sys) / "class" / "tty";
    const auto serial = ClassEntries(tty, "ttyS");
    for (const auto& [k, name] : serial) {
        // The kernel makes a fixed number of ttyS devices; type 0 means no UART behind one.
        const std::string type = ReadAttribute(tty / name / "type");
        if (type.empty() || type == "0")
            continue;
        ports.push_back({ptCOM, k + 1, name, Roots.Dev + "/" + name, {}});
    }
    int next = serial.empty() ? 1 : serial.rbegin()->first + 2;
    for (const char* family : {"ttyUSB", "ttyACM"}) {
        for (const auto& [k, name] : ClassEntries(tty, family)) {
            std::string description = ByIdName(Roots, name);
            if (description.empty())
                if (auto usb = UsbDeviceOf(tty / name))
                    description = UsbProductName(*usb);
            ports.push_back({ptCOM, next++, name, Roots.Dev + "/" + name, description});
        }
    }
    for (const auto& [k, name] : ClassEntries(fs::path(Roots.Sys) / "class" / "printer", "lp"))
        ports.push_back({ptLPT, k + 1, name, Roots.Dev + "/" + name, {}});
    return ports;
}

std::vector<TUSBPrintItem> ScanLinuxUSBPrinters(const TLinuxRoots& Roots) {
    std::vector<TUSBPrintItem> items;
    const fs::path usbmisc = fs::path(Roots.Sys) / "class" / "usbmisc";
    for (const auto& [k, name] : ClassEntries(usbmisc, "lp")) {
        TUSBPrintItem item;
        item.DevicePath = Roots.Dev + "/usb/" + name;
        char location[16];
        std::snprintf(location, sizeof location, "USB%03d", k + 1);
        item.Location = location;
        const auto usb = UsbDeviceOf(usbmisc / name);
        item.Description = usb ? Utf8ToAnsi(UsbProductName(*usb)) : std::string();
        item.Enabled = !usb || ReadAttribute(*usb / "authorized") != "0";
        items.push_back(std::move(item));
    }
    return items;
}

std::string LinuxFriendlyName(const TLinuxPort& Port) {
    std::string name = Port.Description.empty() ? Port.KernelName : Port.Description + " " + Port.KernelName;
    return name + " (" + PortName(Port.Kind, Port.Number) + ")";
}

std::string LinuxPortNode(const std::string& Name, const TLinuxRoots& Roots) {
    for (const TLinuxPort& port : ScanLinuxPorts(Roots))
        if (SameName(PortName(port.Kind, port.Number), Name))
            return port.Node;
    return {};
}

bool TryOpenDeviceNode(const std::string& Path) {
    const int fd = ::open(Path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    bool free = true;
    int exclusive = 0;
    if (::ioctl(fd, TIOCGEXCL, &exclusive) == 0 && exclusive)
        free = false;
    // Holding the lock for the moment of the test is our exclusive open: a program that takes it
    // in between waits for us, never the other way round.
    if (free && ::flock(fd, LOCK_EX | LOCK_NB) != 0)
        free = false;
    ::close(fd);
    return free;
}
