// The USB printers of the machine (the USB printer device interface class).
#pragma once

#include "ports/uPortTypes.h"

#include "framework/uCommonUtils.h"

#include <memory>
#include <vector>

// Reads the USB printers of the system into Items, appending each as it is read; false when the
// enumeration could not run to its end (Items then holds what was read so far).
class TUSBPrintEnumerator {
public:
    virtual ~TUSBPrintEnumerator() = default;
    virtual bool Enumerate(std::vector<TUSBPrintItem>& Items) = 0;
};

// The enumerator of this system. Windows: it holds the setup interface and the configuration
// manager loaded while any enumerator lives.
std::unique_ptr<TUSBPrintEnumerator> SystemUSBPrintEnumerator();

// Raised by TUSBPrintList::Items for an index outside the list.
class EUSBPrintIndexError : public EDriverError {
public:
    EUSBPrintIndexError();
    const char* ClassName() const noexcept override { return "EUSBPrintIndexError"; }
};

class TUSBPrintList {
public:
    TUSBPrintList();
    explicit TUSBPrintList(std::unique_ptr<TUSBPrintEnumerator> Enumerator);
    // Re-reads the list; true when the enumeration ran to its end.
    bool Refresh();
    int Count() const noexcept { return static_cast<int>(FItems.size()); }
    TUSBPrintItem Items(int Index) const;

private:
    std::unique_ptr<TUSBPrintEnumerator> FEnumerator;
    std::vector<TUSBPrintItem> FItems;
};
