// The system's own back end (this machine natively, Wine's devices under Wine): it lists without
// failing, and what it lists follows the list's rules.
#include "ports/USBPrintLib.h"
#include "ports/uGetPortList.h"

#include <gtest/gtest.h>

#include <algorithm>

TEST(SystemPorts, ListsSerialAndParallelPortsSortedWithTheirKindInTheName) {
    for (TPortType kind : {ptCOM, ptLPT}) {
        const TPortList list = GetPortList(kind);
        EXPECT_TRUE(std::is_sorted(list.begin(), list.end(), [](const auto& a, const auto& b) { return a.Number < b.Number; }));
        for (const TPortLine& line : list) {
            EXPECT_NE(line.Name.find(PortPrefix(kind)), std::string::npos) << line.Name;
            EXPECT_GE(line.Number, 0);
        }
    }
}

TEST(SystemPorts, UsbPrinterEnumerationRunsToItsEnd) {
    TUSBPrintList list;
    EXPECT_TRUE(list.Refresh());
    for (int i = 0; i < list.Count(); ++i)
        EXPECT_FALSE(list.Items(i).DevicePath.empty());
}
