// The kinds of ports the picker lists and the records it keeps for them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum TPortType : std::uint8_t { ptCOM = 0, ptLPT = 1, ptUSB = 2 };

// "COM", "LPT" or "USB".
const char* PortPrefix(TPortType Kind) noexcept;

// The name a port is opened by: the kind's prefix and the number in decimal (COM7).
std::string PortName(TPortType Kind, int Number);

// Port numbers are read from at most three digits (COM1 ... COM999). The record keeps them whole:
// a byte would turn COM300 into COM44 and store the wrong port in the settings.
inline constexpr int MaxPortNumber = 999;

enum TPortState : std::uint8_t { psNotTested = 0, psAvailable = 1, psUnavailable = 2 };

// One entry of the picker; entry i describes item i of the control.
struct TPortProp {
    std::uint16_t Number = 0;   // 1 for COM1; 0 for USB entries
    std::string Name;           // ANSI, the text drawn for the entry
    std::uint8_t State = psNotTested;
    std::string DevicePath;     // USB entries: the device interface path
};
using TPortArray = std::vector<TPortProp>;

// One USB printer found on the machine. Texts are ANSI.
struct TUSBPrintItem {
    std::string DevicePath;
    std::string Location;
    std::string Description;
    bool Enabled = false;
};
