// --list-ports: the machine's serial and parallel ports and USB printers as the driver's port
// picker shows them, each with the result of the picker's open test.
#pragma once

#include "ports/uPortsComboBox.h"

#include <chrono>
#include <ostream>

namespace host {

// Prints one line per port: the name it is opened by, its state and its display name (UTF-8).
// Returns the number of ports listed.
int ListPorts(std::ostream& out, const TPortsEnvironment& environment = SystemPortsEnvironment(),
              std::chrono::milliseconds testTimeout = std::chrono::seconds(30));

} // namespace host
