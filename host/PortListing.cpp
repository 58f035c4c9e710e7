#include "PortListing.h"

#include "framework/uCommonUtils.h"

#include <iomanip>

namespace host {

namespace {

const char* StateText(std::uint8_t state) {
    switch (state) {
    case psAvailable:
        return "available";
    case psUnavailable:
        return "unavailable";
    default:
        return "not tested";
    }
}

} // namespace

int ListPorts(std::ostream& out, const TPortsEnvironment& environment, std::chrono::milliseconds testTimeout) {
    int listed = 0;
    TMemoryPortItems items;
    TPortsComboBox picker(items, environment);
    for (TPortType kind : {ptCOM, ptLPT, ptUSB}) {
        picker.SetPortType(kind);
        picker.StartPortCheck();
        picker.WaitPortCheck(testTimeout);
        out << (kind == ptCOM ? "serial ports" : kind == ptLPT ? "parallel ports" : "USB printers") << ": "
            << picker.Count() << "\n";
        for (int i = 0; i < picker.Count(); ++i) {
            const TPortProp record = picker.Record(i);
            const std::string name = kind == ptUSB ? items.Texts[static_cast<std::size_t>(i)] : PortName(kind, record.Number);
            out << "  " << std::left << std::setw(8) << AnsiToUtf8(name) << std::setw(13) << StateText(record.State)
                << AnsiToUtf8(record.Name);
            if (!record.DevicePath.empty())
                out << "  " << AnsiToUtf8(record.DevicePath);
            out << "\n";
            ++listed;
        }
    }
    return listed;
}

} // namespace host
