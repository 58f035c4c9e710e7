// The settings of one virtual printer (config.json of its port): what an integrator may edit and
// what the programming commands change.
#pragma once

#include "emulator/Clock.h"
#include "emulator/Receipt.h"

#include <array>
#include <cstdint>
#include <string>

namespace azimuth {

// Bits of the first document parameter word that change what the printer does.
namespace doc1 {
constexpr std::uint16_t kNoTail = 0x0001;          // no closing lines (the tail)
constexpr std::uint16_t kNoBlankBetweenItems = 0x0002;
constexpr std::uint16_t kNoZeroCounters = 0x0004;  // X and Z reports skip zero lines
constexpr std::uint16_t kHeaderFirst = 0x0010;     // header before the document instead of after
constexpr std::uint16_t kNoResourceReport = 0x0020;
constexpr std::uint16_t kNoUnitQuantity = 0x0040;  // no quantity line when it is 1
constexpr std::uint16_t kNoSessionNeeded = 0x0080; // StartSeans not required before opening a shift
constexpr std::uint16_t kFiscalOpensShift = 0x0100;
constexpr std::uint16_t kExplicitShiftOpen = 0x0200; // only ShiftOpen opens a shift
constexpr std::uint16_t kShortCashDocs = 0x0800;
} // namespace doc1

// Bits of the second word.
namespace doc2 {
constexpr std::uint16_t kAutoCashOutAtZ = 0x0001;
constexpr std::uint16_t kNoRoubleSign = 0x0010;
constexpr std::uint16_t kNoCut = 0x0020;
constexpr std::uint16_t kAdjustmentExtraLine = 0x0040;
constexpr std::uint16_t kPrintShiftOpen = 0x0800;
} // namespace doc2

struct TaxGroup {
    std::string name;       // CP1251
    std::int32_t rate = -1; // hundredths of a per cent; -1: not set
};

struct PrinterConfig {
    bool connected = true; // a printer answers on this port
    std::int32_t baudRate = 19200;
    std::string password = "QWTZ";
    // Identity (CP1251); the driver reads them into 16-character buffers, the serial into 11.
    std::string model, firmware, serial, registration, taxpayer, fiscalMemory, journalSerial;
    std::array<TaxGroup, kTaxGroups> taxes;
    std::array<std::string, kPaymentTypes> payments;
    std::array<std::string, 4> header, tail;
    std::uint16_t paramDoc1 = 0x1B0, paramDoc2 = 0;
    std::array<std::int32_t, 3> drawer{50, 255, 0x1B0};
    bool drawerAutoOpen = false; // open the drawer by itself when a receipt with cash closes
    ClockSettings clock;
    // Some printers forget the document parameters at a Z report; tests can ask for that.
    bool paramDocResetByZ = false;
    // How long the X and Z reports keep the line silent: a library waiting less than this gives up
    // on the answer (194) while the printer goes on. 0: no longer than any other command.
    std::int32_t reportTimeoutMs = 15000;
    // The payment status byte carries more than its low three bits, as the vendor reserves.
    bool tenderStatusHighBits = true;
};

// What a port's printer looks like out of the box: only COM1 has one, unless configured.
PrinterConfig DefaultConfig(const std::string& port);

} // namespace azimuth
