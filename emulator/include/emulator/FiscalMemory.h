// What the printer remembers between documents (fiscal.json of its port).
#pragma once

#include "emulator/Clock.h"
#include "emulator/Receipt.h"

#include <array>
#include <cstdint>
#include <optional>

namespace azimuth {

// Totals and counters of the current shift; a Z report prints and clears them.
struct ShiftTotals {
    std::int64_t sales = 0, returns = 0, discounts = 0, markups = 0, cashIn = 0, cashOut = 0;
    std::array<std::int64_t, kPaymentTypes> salesByPayment{}, returnsByPayment{};
    std::array<std::int64_t, kTaxGroups> salesTax{}, returnsTax{};
    std::int32_t saleReceipts = 0, returnReceipts = 0, cancelledReceipts = 0, saleItems = 0, returnItems = 0;
    std::int32_t discountCount = 0, markupCount = 0, cashInCount = 0, cashOutCount = 0;
    std::int32_t nonFiscalDocuments = 0, xReports = 0, documents = 0;
};

enum class DocumentKind : int { Receipt = 1, NonFiscal = 2 };

// A document survives a power cut (or a crashed process) open, as on a real printer.
struct OpenDocument {
    DocumentKind kind = DocumentKind::Receipt;
    Receipt receipt; // for a fiscal receipt
};

// Totals stay far enough below the 64-bit limit that any sum of a few of them is exact.
constexpr std::int64_t kMaxTotal = INT64_MAX / 4;

struct FiscalMemory {
    std::int32_t lastClosedShift = 0;
    bool shiftOpen = false;
    PrinterTime shiftOpenedAt = 0;
    std::int32_t documentNumber = 0; // every printed document, never reset
    std::int32_t receiptNumber = 0;  // fiscal receipts of the shift
    std::int64_t cash = 0;           // in the drawer
    std::int64_t grandSales = 0, grandReturns = 0;
    ShiftTotals shift;
    std::optional<OpenDocument> document;
};

} // namespace azimuth
