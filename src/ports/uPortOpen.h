// The open test of one port: can a program open it for its own use right now?
#pragma once

#include <string>

// Name is a port name such as COM3 or LPT1 (ANSI). True when the port could be opened without
// sharing; the port is closed again at once. A port another program holds answers false.
bool TryOpenPort(const std::string& Name);
