// TPortsComboBox: the port picker's logic. It keeps one record per item of its control (number,
// name, state of the open test), fills them for its kind of port, selects and reports the port
// number, and runs the background open test that colours each entry. The control itself is a
// seam (TPortItems): the Win32 view implements it over an owner-drawn drop-down list, tests use
// TMemoryPortItems.
#pragma once

#include "ports/USBPrintLib.h"
#include "ports/uGetPortList.h"
#include "ports/uPortTypes.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class TOpenPortThread;

// The item list of the control. Only the picker's own thread touches it.
class TPortItems {
public:
    virtual ~TPortItems() = default;
    virtual void Clear() = 0;
    virtual void Add(const std::string& Text) = 0; // ANSI
    virtual int ItemIndex() const = 0;             // -1: nothing selected
    virtual void SetItemIndex(int Index) = 0;
};

class TMemoryPortItems : public TPortItems {
public:
    void Clear() override {
        Texts.clear();
        Index = -1;
    }
    void Add(const std::string& Text) override { Texts.push_back(Text); }
    int ItemIndex() const override { return Index; }
    void SetItemIndex(int I) override { Index = I; }

    std::vector<std::string> Texts;
    int Index = -1;
};

// What the picker asks of the system; tests replace any of it.
struct TPortsEnvironment {
    std::function<TPortList(TPortType)> ListPorts = [](TPortType Kind) { return GetPortList(Kind); };
    std::function<std::unique_ptr<TUSBPrintEnumerator>()> USBPrinters = SystemUSBPrintEnumerator;
    // Called on the test's thread.
    std::function<bool(const std::string& Name)> TryOpenPort;
};
TPortsEnvironment SystemPortsEnvironment();

// Colours of an entry's mark, 0x00BBGGRR as the system's COLORREF.
struct TStateColours {
    std::uint32_t Brush;
    std::uint32_t Pen;
};
constexpr std::uint32_t Rgb(unsigned R, unsigned G, unsigned B) { return R | (G << 8) | (B << 16); }
TStateColours StateColours(std::uint8_t State) noexcept;

// Where an entry's parts go, relative to its rectangle: the mark is a circle in the square
// (2,2)-(12,12), the name starts at x = 16.
inline constexpr int MarkLeft = 2, MarkTop = 2, MarkRight = 12, MarkBottom = 12, NameLeft = 16;
// The item height the settings page gives the picker.
inline constexpr int PortItemHeight = 16;

class TPortsComboBox {
public:
    // Fills the list for ptCOM at once.
    explicit TPortsComboBox(TPortItems& Items, TPortsEnvironment Environment = SystemPortsEnvironment());
    // Stops the open test first.
    ~TPortsComboBox();
    TPortsComboBox(const TPortsComboBox&) = delete;
    TPortsComboBox& operator=(const TPortsComboBox&) = delete;

    bool CheckPortsOnCreate = true;
    TPortType PortType() const noexcept { return FPortType; }
    // Stores the kind and fills the list for it.
    void SetPortType(TPortType Value);

    // Rebuilds items and records for the current kind. A running open test is stopped first and
    // started again on the new records, so it never writes a state into a record it did not read.
    void RefreshPorts();
    // The selected entry's number; -1 when nothing is selected or for USB printers.
    int GetPortNumber() const;
    // Selects the entry of port N, adding one (COM7) when the system does not list it, so that a
    // stored port stays chosen. Nothing for N outside 1 … MaxPortNumber or for USB printers.
    void SetPortNumber(int N);

    void StartPortCheck();
    void StopPortCheck();
    bool PortCheckRunning() const;
    // Waits until the running test has tried every port; true when none runs any more.
    bool WaitPortCheck(std::chrono::milliseconds Timeout);
    // The control became visible.
    void Shown();

    int Count() const;
    TPortProp Record(int Index) const; // a copy, read under the test's lock

    // PortStateChanged: called on the test's thread after each port with the entry's index; the
    // view posts it to its window (never sends), tests queue it.
    std::function<void(int Index)> OnPortStateChanged;

private:
    friend class TOpenPortThread;
    // The open test reads the kind and the records only while no rebuild runs.
    template <typename F>
    void WithTestStopped(F Change);
    void Rebuild();
    void AddEntry(const std::string& ItemText, TPortProp Record);

    TPortItems& FItems;
    TPortsEnvironment FEnvironment;
    mutable std::mutex FLock; // the kind and the records, shared with the open test
    TPortType FPortType = ptCOM;
    TPortArray FRecords;
    std::unique_ptr<TOpenPortThread> FThread;
};
