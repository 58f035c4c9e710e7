#include "ports/USBPrintLib.h"

#include "ports/uPortTexts.h"

EUSBPrintIndexError::EUSBPrintIndexError() : EDriverError(BadUSBDeviceIndexText) {}

TUSBPrintList::TUSBPrintList() : TUSBPrintList(SystemUSBPrintEnumerator()) {}

TUSBPrintList::TUSBPrintList(std::unique_ptr<TUSBPrintEnumerator> Enumerator) : FEnumerator(std::move(Enumerator)) {}

bool TUSBPrintList::Refresh() {
    FItems.clear();
    return FEnumerator && FEnumerator->Enumerate(FItems);
}

TUSBPrintItem TUSBPrintList::Items(int Index) const {
    if (Index < 0 || Index >= Count())
        throw EUSBPrintIndexError();
    return FItems[static_cast<std::size_t>(Index)];
}
