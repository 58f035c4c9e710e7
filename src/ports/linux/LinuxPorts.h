// The ports of a Linux machine as the picker numbers them. Serial ports are the kernel's tty
// devices of the 8250 family (ttyS<k> is COM<k+1>, as Wine maps them) followed by USB serial
// adapters and modems (ttyUSB, then ttyACM, each by index) numbered on from the last ttyS;
// parallel ports are the printer class (lp<k> is LPT<k+1>); USB printers are the usbmisc lp
// devices (/dev/usb/lp<k>, shown as USB<k+1> in three digits).
#pragma once

#include "ports/uPortTypes.h"

#include <string>
#include <vector>

struct TLinuxRoots {
    std::string Sys = "/sys";
    std::string Dev = "/dev";
};

struct TLinuxPort {
    TPortType Kind = ptCOM;
    int Number = 0;
    std::string KernelName;  // ttyS0, ttyUSB0, lp0
    std::string Node;        // the device node
    std::string Description; // UTF-8: the product's name where the system knows it, else empty
};

// The serial and parallel ports, ordered by kind, then number.
std::vector<TLinuxPort> ScanLinuxPorts(const TLinuxRoots& Roots);

// The USB printers (Location USB001 …, Description from the USB device, Enabled unless the
// device is not authorized), texts in the ANSI code page.
std::vector<TUSBPrintItem> ScanLinuxUSBPrinters(const TLinuxRoots& Roots);

// The display name of a port: "FT232R USB UART ttyUSB0 (COM2)", "ttyS0 (COM1)". UTF-8.
std::string LinuxFriendlyName(const TLinuxPort& Port);

// The device node of a port name such as COM2 or LPT1; empty when there is no such port.
std::string LinuxPortNode(const std::string& Name, const TLinuxRoots& Roots);

// The open test on a device node: opened read-write without blocking and without becoming the
// controlling terminal; a tty that another program has made exclusive (TIOCEXCL, which does not
// stop root from opening it) or that another program has locked (flock, as serial programs do)
// counts as held.
bool TryOpenDeviceNode(const std::string& Path);
