// The serial or parallel ports of the machine with their display names: the device map gives
// the port names, the Ports setup class the friendly names that replace them.
#pragma once

#include "ports/uPortSources.h"
#include "ports/uPortTypes.h"

#include <string>
#include <vector>

struct TPortLine {
    std::string Name; // ANSI display name
    int Number = 0;
};
// Sorted by Number, ascending.
using TPortList = std::vector<TPortLine>;

// Kind is ptCOM or ptLPT; ptUSB lists nothing (USB printers are TUSBPrintList's).
TPortList GetPortList(TPortType Kind);
TPortList GetPortList(TPortType Kind, const TPortSources& Sources);
