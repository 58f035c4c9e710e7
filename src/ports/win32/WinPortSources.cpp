// The Windows back end of the port list: the registry's device maps, the Ports setup class and
// the USB printer device interfaces.
#include "ports/USBPrintLib.h"
#include "ports/uPortOpen.h"
#include "ports/uPortSources.h"
#include "ports/win32/SetupApi.h"

#include <cstring>
#include <optional>
#include <vector>

namespace {

const GUID PortsClassGuid = {0x4D36E978, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}};
const GUID UsbPrintInterfaceGuid = {0x28D78FAD, 0x5A12, 0x11D1, {0xAE, 0x5B, 0x00, 0x00, 0xF8, 0x03, 0xA8, 0xC2}};

// A registry property of a device as text, read into a buffer of BufferSize bytes; absent when
// it is missing or does not fit.
std::optional<std::string> DeviceProperty(const TSetupApi& Api, HDEVINFO Set, SP_DEVINFO_DATA& Device, DWORD Property,
                                          DWORD BufferSize) {
    std::vector<char> buffer(BufferSize + 1, '\0');
    DWORD type = 0;
    if (!Api.GetDeviceRegistryProperty(Set, &Device, Property, &type, reinterpret_cast<BYTE*>(buffer.data()), BufferSize,
                                       nullptr))
        return std::nullopt;
    return std::string(buffer.data());
}

// A string value of an open key; absent when missing or not a string.
std::optional<std::string> StringValue(HKEY Key, const char* Name) {
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(Key, Name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
        return std::nullopt;
    std::vector<char> data(size + 1, '\0');
    if (RegQueryValueExA(Key, Name, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size) != ERROR_SUCCESS)
        return std::nullopt;
    return std::string(data.data());
}

class TWinPortSources : public TPortSources {
public:
    TWinPortSources() : FApi(TSetupApi::Acquire()) {}

    std::vector<std::string> DeviceMapValues(TPortType Kind) const override {
        std::vector<std::string> values;
        TRegKey key;
        const char* path = Kind == ptLPT ? "hardware\\devicemap\\parallel ports" : "hardware\\devicemap\\serialcomm";
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, key.Receive()) != ERROR_SUCCESS)
            return values;
        std::vector<char> name(256), data(1024);
        for (DWORD i = 0;; ++i) {
            DWORD nameSize = static_cast<DWORD>(name.size()), dataSize = static_cast<DWORD>(data.size() - 1), type = 0;
            const LONG rc = RegEnumValueA(key.Get(), i, name.data(), &nameSize, nullptr, &type,
                                          reinterpret_cast<BYTE*>(data.data()), &dataSize);
            if (rc == ERROR_MORE_DATA) {
                name.resize(name.size() * 2);
                data.resize(data.size() * 2);
                --i;
                if (data.size() > 65536)
                    break;
                continue;
            }
            if (rc != ERROR_SUCCESS)
                break;
            if (type == REG_SZ || type == REG_EXPAND_SZ)
                values.emplace_back(data.data(), strnlen(data.data(), dataSize));
        }
        return values;
    }

    bool SetupInterfaceLoaded() const override { return FApi != nullptr; }

    bool PortsClassHidden() const override {
        TRegKey key(FApi->OpenClassRegKey(&PortsClassGuid, KEY_READ));
        return key.Get() && RegQueryValueExA(key.Get(), "NoDisplayClass", nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    }

    std::vector<TPortsClassDevice> PortsClassDevices() const override {
        std::vector<TPortsClassDevice> devices;
        TDevInfoSet set(*FApi, FApi->GetClassDevs(&PortsClassGuid, nullptr, nullptr, DIGCF_PRESENT));
        if (!set.Valid())
            return devices;
        SP_DEVINFO_DATA info{};
        info.cbSize = sizeof info;
        for (DWORD i = 0; FApi->EnumDeviceInfo(set.Get(), i, &info); ++i) {
            TPortsClassDevice device;
            ULONG status = 0, problem = 0;
            device.StatusRead = FApi->GetDevNodeStatus(&status, &problem, info.DevInst, 0) == CR_SUCCESS;
            device.FriendlyName = DeviceProperty(*FApi, set.Get(), info, SPDRP_FRIENDLYNAME, 256);
            device.DeviceDesc = DeviceProperty(*FApi, set.Get(), info, SPDRP_DEVICEDESC, 256);
            device.Class = DeviceProperty(*FApi, set.Get(), info, SPDRP_CLASS, 256);
            device.ClassGuid = DeviceProperty(*FApi, set.Get(), info, SPDRP_CLASSGUID, 256);
            TRegKey key(FApi->OpenDevRegKey(set.Get(), &info, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_QUERY_VALUE));
            if (key.Get())
                device.PortName = StringValue(key.Get(), "PortName");
            devices.push_back(std::move(device));
        }
        return devices;
    }

private:
    std::shared_ptr<const TSetupApi> FApi;
};

class TWinUSBPrintEnumerator : public TUSBPrintEnumerator {
public:
    bool Enumerate(std::vector<TUSBPrintItem>& Items) override {
        if (!FApi)
            FApi = TSetupApi::Acquire();
        if (!FApi)
            return false;
        TDevInfoSet set(*FApi, FApi->GetClassDevs(&UsbPrintInterfaceGuid, nullptr, nullptr, DIGCF_DEVICEINTERFACE));
        if (!set.Valid())
            return false;
        SP_DEVICE_INTERFACE_DATA face{};
        face.cbSize = sizeof face;
        for (DWORD i = 0; FApi->EnumDeviceInterfaces(set.Get(), nullptr, &UsbPrintInterfaceGuid, i, &face); ++i) {
            DWORD needed = 0;
            FApi->GetDeviceInterfaceDetail(set.Get(), &face, nullptr, 0, &needed, nullptr);
            if (needed == 0)
                return false;
            std::vector<char> buffer(needed + 1, '\0');
            auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(buffer.data());
            detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
            SP_DEVINFO_DATA info{};
            info.cbSize = sizeof info;
            if (!FApi->GetDeviceInterfaceDetail(set.Get(), &face, detail, needed, nullptr, &info))
                return false;
            TUSBPrintItem item;
            item.DevicePath = detail->DevicePath;
            item.Location = DeviceProperty(*FApi, set.Get(), info, SPDRP_LOCATION_INFORMATION, 2049).value_or("");
            item.Description = DeviceProperty(*FApi, set.Get(), info, SPDRP_DEVICEDESC, 2049).value_or("");
            ULONG status = 0, problem = 0;
            item.Enabled = FApi->GetDevNodeStatus(&status, &problem, info.DevInst, 0) == CR_SUCCESS &&
                           !((status & DN_HAS_PROBLEM) && problem == CM_PROB_DISABLED);
            Items.push_back(std::move(item));
        }
        return true;
    }

private:
    // Held while the list lives, so repeated refreshes do not load and unload the libraries.
    std::shared_ptr<const TSetupApi> FApi;
};

} // namespace

std::unique_ptr<TPortSources> SystemPortSources() { return std::make_unique<TWinPortSources>(); }

std::unique_ptr<TUSBPrintEnumerator> SystemUSBPrintEnumerator() { return std::make_unique<TWinUSBPrintEnumerator>(); }

bool TryOpenPort(const std::string& Name) {
    const std::string path = "\\\\.\\" + Name;
    HANDLE port = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    if (port == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(port);
    return true;
}
