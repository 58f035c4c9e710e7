#include "ports/uGetPortList.h"

#include "framework/uCommonUtils.h"

#include <algorithm>
#include <cctype>

namespace {

// A decimal number of 1 to 3 digits, or -1.
int ParsePortNumber(const std::string& Text) {
    if (Text.empty() || Text.size() > 3)
        return -1;
    int n = 0;
    for (char c : Text) {
        if (c < '0' || c > '9')
            return -1;
        n = n * 10 + (c - '0');
    }
    return n;
}

void AddMapLines(TPortType Kind, const TPortSources& Sources, TPortList& List) {
    const std::string prefix = PortPrefix(Kind);
    for (const std::string& value : Sources.DeviceMapValues(Kind)) {
        // Some drivers put a device path before the port name (…\LPT1): the name starts at the prefix.
        const auto p = value.find(prefix);
        if (p == std::string::npos)
            continue;
        const int n = ParsePortNumber(value.substr(p + prefix.size(), 3));
        if (n < 0)
            continue;
        std::string name = value.substr(p);
        const bool known = std::any_of(List.begin(), List.end(), [&](const TPortLine& l) { return SameName(l.Name, name); });
        if (!known)
            List.push_back({std::move(name), n});
    }
}

// The number in "... (COM12)" of a device name, or -1.
int NumberFromDeviceName(std::string Name, TPortType Kind) {
    std::transform(Name.begin(), Name.end(), Name.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    const std::string marker = std::string("(") + PortPrefix(Kind);
    const auto p = Name.find(marker);
    if (p == std::string::npos || Name.size() - (p + marker.size()) < 2)
        return -1;
    std::string rest = Name.substr(p + marker.size());
    const auto close = rest.find(')');
    if (close != std::string::npos && close > 0)
        rest.resize(close);
    return ParsePortNumber(rest);
}

const std::string* FirstNonEmpty(const TPortsClassDevice& Device) {
    for (const auto* property : {&Device.FriendlyName, &Device.DeviceDesc, &Device.Class, &Device.ClassGuid})
        if (*property && !(*property)->empty())
            return &**property;
    return nullptr;
}

void MergeDevices(TPortType Kind, const TPortSources& Sources, TPortList& List) {
    if (!Sources.SetupInterfaceLoaded() || Sources.PortsClassHidden())
        return;
    const std::string prefix = PortPrefix(Kind);
    for (const TPortsClassDevice& device : Sources.PortsClassDevices()) {
        if (!device.StatusRead)
            return;
        const std::string* name = FirstNonEmpty(device);
        if (!name)
            continue;
        int n;
        if (device.PortName && !device.PortName->empty())
            n = device.PortName->size() > 3 ? ParsePortNumber(device.PortName->substr(3, 3)) : -1;
        else
            n = NumberFromDeviceName(*name, Kind);
        if (n < 0)
            continue;
        const TPortType kind = name->find("COM") != std::string::npos   ? ptCOM
                               : name->find("LPT") != std::string::npos ? ptLPT
                                                                        : ptUSB;
        if (kind != Kind)
            continue;
        auto line = std::find_if(List.begin(), List.end(), [&](const TPortLine& l) {
            return l.Number == n && l.Name.find(prefix) != std::string::npos;
        });
        if (line != List.end())
            line->Name = *name;
        else
            List.push_back({*name, n});
    }
}

} // namespace

TPortList GetPortList(TPortType Kind, const TPortSources& Sources) {
    TPortList list;
    if (Kind != ptCOM && Kind != ptLPT)
        return list;
    AddMapLines(Kind, Sources, list);
    MergeDevices(Kind, Sources, list);
    std::stable_sort(list.begin(), list.end(), [](const TPortLine& a, const TPortLine& b) { return a.Number < b.Number; });
    return list;
}

TPortList GetPortList(TPortType Kind) { return GetPortList(Kind, *SystemPortSources()); }
