#include "ports/uPortsComboBox.h"

#include "ports/uOpenPortThread.h"
#include "ports/uPortOpen.h"

TPortsEnvironment SystemPortsEnvironment() {
    TPortsEnvironment environment;
    environment.TryOpenPort = ::TryOpenPort;
    return environment;
}

TStateColours StateColours(std::uint8_t State) noexcept {
    switch (State) {
    case psAvailable:
        return {Rgb(0, 208, 0), Rgb(0, 160, 0)};
    case psUnavailable:
        return {Rgb(208, 0, 0), Rgb(160, 0, 0)};
    default:
        return {Rgb(208, 208, 208), Rgb(10, 10, 10)};
    }
}

TPortsComboBox::TPortsComboBox(TPortItems& Items, TPortsEnvironment Environment)
    : FItems(Items), FEnvironment(std::move(Environment)) {
    RefreshPorts();
}

TPortsComboBox::~TPortsComboBox() { StopPortCheck(); }

void TPortsComboBox::SetPortType(TPortType Value) {
    WithTestStopped([&] {
        {
            std::lock_guard<std::mutex> lock(FLock);
            FPortType = Value;
        }
        Rebuild();
    });
}

void TPortsComboBox::AddEntry(const std::string& ItemText, TPortProp Record) {
    {
        std::lock_guard<std::mutex> lock(FLock);
        FRecords.push_back(std::move(Record));
    }
    FItems.Add(ItemText);
}

template <typename F>
void TPortsComboBox::WithTestStopped(F Change) {
    const bool wasRunning = PortCheckRunning();
    StopPortCheck();
    Change();
    if (wasRunning)
        StartPortCheck();
}

void TPortsComboBox::RefreshPorts() {
    WithTestStopped([&] { Rebuild(); });
}

void TPortsComboBox::Rebuild() {
    {
        std::lock_guard<std::mutex> lock(FLock);
        FRecords.clear();
    }
    FItems.Clear();
    if (FPortType == ptUSB) {
        TUSBPrintList list(FEnvironment.USBPrinters ? FEnvironment.USBPrinters() : nullptr);
        // An enumeration cut short shows no printers rather than some.
        if (list.Refresh()) {
            for (int i = 0; i < list.Count(); ++i) {
                const TUSBPrintItem item = list.Items(i);
                if (item.Location.empty())
                    continue;
                AddEntry(item.Location, {0, item.Location + " (" + item.Description + ")",
                                         static_cast<std::uint8_t>(item.Enabled ? psAvailable : psUnavailable), item.DevicePath});
            }
        }
    } else if (FEnvironment.ListPorts) {
        for (const TPortLine& line : FEnvironment.ListPorts(FPortType))
            if (line.Number >= 0 && line.Number <= MaxPortNumber)
                AddEntry(line.Name, {static_cast<std::uint16_t>(line.Number), line.Name, psNotTested, {}});
    }
}

int TPortsComboBox::GetPortNumber() const {
    const int index = FItems.ItemIndex();
    if (FPortType == ptUSB || index < 0 || index >= Count())
        return -1;
    return Record(index).Number;
}

void TPortsComboBox::SetPortNumber(int N) {
    if (N < 1 || N > MaxPortNumber || FPortType == ptUSB)
        return;
    int found = -1;
    {
        std::lock_guard<std::mutex> lock(FLock);
        for (std::size_t i = 0; i < FRecords.size() && found < 0; ++i)
            if (FRecords[i].Number == N)
                found = static_cast<int>(i);
    }
    if (found < 0) {
        found = Count();
        AddEntry(" ", {static_cast<std::uint16_t>(N), PortName(FPortType, N), psNotTested, {}});
    }
    FItems.SetItemIndex(found);
}

void TPortsComboBox::StartPortCheck() {
    StopPortCheck();
    if (FPortType != ptUSB)
        FThread = std::make_unique<TOpenPortThread>(*this);
}

void TPortsComboBox::StopPortCheck() { FThread.reset(); }

bool TPortsComboBox::PortCheckRunning() const { return FThread && !FThread->Finished(); }

bool TPortsComboBox::WaitPortCheck(std::chrono::milliseconds Timeout) { return !FThread || FThread->WaitFor(Timeout); }

void TPortsComboBox::Shown() {
    if (CheckPortsOnCreate)
        StartPortCheck();
}

int TPortsComboBox::Count() const {
    std::lock_guard<std::mutex> lock(FLock);
    return static_cast<int>(FRecords.size());
}

TPortProp TPortsComboBox::Record(int Index) const {
    std::lock_guard<std::mutex> lock(FLock);
    if (Index < 0 || static_cast<std::size_t>(Index) >= FRecords.size())
        return {};
    return FRecords[static_cast<std::size_t>(Index)];
}
