// Where the port list comes from: the system's device map of port names and the devices of the
// Ports setup class with their properties. Each system has one back end; tests give fakes, so
// the merge rules of GetPortList are written once for both.
#pragma once

#include "ports/uPortTypes.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

// A present device of the Ports setup class, as the device pass reads it. Texts are ANSI.
struct TPortsClassDevice {
    bool StatusRead = true;   // the configuration manager answered for the device
    // Registry properties; each is absent when missing or longer than 255 characters.
    std::optional<std::string> FriendlyName;
    std::optional<std::string> DeviceDesc;
    std::optional<std::string> Class;
    std::optional<std::string> ClassGuid;
    // The "PortName" value of the device's hardware key, when it is a string.
    std::optional<std::string> PortName;
};

class TPortSources {
public:
    virtual ~TPortSources() = default;
    // The data of every value of the device map of the kind (ptCOM or ptLPT), in the order the
    // system lists them; empty when the map is missing.
    virtual std::vector<std::string> DeviceMapValues(TPortType Kind) const = 0;
    // False when the setup interface is not there: the device pass adds nothing then.
    virtual bool SetupInterfaceLoaded() const = 0;
    // The Ports class key carries "NoDisplayClass".
    virtual bool PortsClassHidden() const = 0;
    virtual std::vector<TPortsClassDevice> PortsClassDevices() const = 0;
};

// The sources of this system.
std::unique_ptr<TPortSources> SystemPortSources();
