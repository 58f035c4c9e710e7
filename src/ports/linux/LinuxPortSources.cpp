// The Linux back end of the port list: the tty, printer and usbmisc classes of sysfs take the
// places of the device map, the Ports setup class and the USB printer interfaces.
#include "ports/USBPrintLib.h"
#include "ports/linux/LinuxPorts.h"
#include "ports/uPortOpen.h"
#include "ports/uPortSources.h"

#include "framework/uCommonUtils.h"

namespace {

class TLinuxPortSources : public TPortSources {
public:
    TLinuxPortSources() : FPorts(ScanLinuxPorts(TLinuxRoots())) {}

    std::vector<std::string> DeviceMapValues(TPortType Kind) const override {
        std::vector<std::string> values;
        for (const TLinuxPort& port : FPorts)
            if (port.Kind == Kind)
                values.push_back(PortName(port.Kind, port.Number));
        return values;
    }
    bool SetupInterfaceLoaded() const override { return true; }
    bool PortsClassHidden() const override { return false; }
    std::vector<TPortsClassDevice> PortsClassDevices() const override {
        std::vector<TPortsClassDevice> devices;
        for (const TLinuxPort& port : FPorts) {
            TPortsClassDevice device;
            device.FriendlyName = Utf8ToAnsi(LinuxFriendlyName(port));
            device.PortName = PortName(port.Kind, port.Number);
            devices.push_back(std::move(device));
        }
        return devices;
    }

private:
    std::vector<TLinuxPort> FPorts;
};

class TLinuxUSBPrintEnumerator : public TUSBPrintEnumerator {
public:
    bool Enumerate(std::vector<TUSBPrintItem>& Items) override {
        for (auto& item : ScanLinuxUSBPrinters(TLinuxRoots()))
            Items.push_back(std::move(item));
        return true;
    }
};

} // namespace

std::unique_ptr<TPortSources> SystemPortSources() { return std::make_unique<TLinuxPortSources>(); }

std::unique_ptr<TUSBPrintEnumerator> SystemUSBPrintEnumerator() { return std::make_unique<TLinuxUSBPrintEnumerator>(); }

bool TryOpenPort(const std::string& Name) {
    const std::string node = LinuxPortNode(Name, TLinuxRoots());
    return !node.empty() && TryOpenDeviceNode(node);
}
