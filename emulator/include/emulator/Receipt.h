// A fiscal receipt while it is open, and the printer's arithmetic on it. Money is in kopecks,
// quantities in thousandths, rates in hundredths of a per cent; nothing is ever a float.
#pragma once

#include "emulator/Codes.h"

#include <cstdint>
#include <string>
#include <vector>

namespace azimuth {

constexpr int kPaymentTypes = 6; // 0 is cash
constexpr int kTaxGroups = 8;

enum class ReceiptKind : int { Sale = 0, Return = 2 };

struct ReceiptItem {
    std::string name, code, unit, department; // CP1251
    std::int32_t price = 0;                    // kopecks
    std::int32_t quantity = 0;                 // thousandths
    std::int64_t amount = 0;                   // price × quantity, rounded half up
    std::int64_t discounts = 0;
    std::int64_t markups = 0;
    int taxGroup = -1;                         // -1: no tax group
    std::int32_t taxRate = 0;                  // the group's rate when it was applied

    std::int64_t Net() const { return amount - discounts + markups; }
    // Tax included in the net amount: net × rate / (100 % + rate), rounded half up.
    std::int64_t Tax() const;
};

struct ReceiptPayment {
    int type = 0;
    std::int64_t amount = 0;
    std::string text; // CP1251
};

struct Receipt {
    ReceiptKind kind = ReceiptKind::Sale;
    std::string cashier; // CP1251
    std::int32_t number = 0;
    std::vector<ReceiptItem> items;
    std::vector<ReceiptPayment> payments;
    bool totaled = false; // no more items once the total was struck

    std::int64_t Total() const;
    std::int64_t Paid() const;
    bool Covered() const { return totaled && Paid() >= Total(); }
    // Only cash can exceed what is due (Tender refuses overpaying by other means).
    std::int64_t Change() const { return Covered() ? Paid() - Total() : 0; }
    std::int64_t PaidBy(int type) const;
    // What stays in the register by payment type: cash net of the change.
    std::int64_t KeptBy(int type) const { return PaidBy(type) - (type == 0 ? Change() : 0); }
};

// Each refuses with a code and leaves the receipt unchanged, or applies the step and answers kOk.
Code AddItem(Receipt& receipt, ReceiptItem item);
// mode 0: value is an amount in kopecks; mode 1: a percentage of the last item in hundredths.
Code AddAdjustment(Receipt& receipt, bool discount, int mode, std::int32_t value, std::int64_t& applied);
Code ApplyTax(Receipt& receipt, int group, std::int32_t rate);
Code TotalUp(Receipt& receipt);
Code Tender(Receipt& receipt, int type, std::int32_t amount, std::string text);

} // namespace azimuth
