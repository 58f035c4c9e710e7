#include "emulator/Receipt.h"

#include "emulator/Money.h"

namespace azimuth {

std::int64_t ReceiptItem::Tax() const {
    if (taxGroup < 0 || taxRate <= 0)
        return 0;
    return MulDivRound(Net(), taxRate, 10000 + static_cast<std::int64_t>(taxRate)).value_or(0);
}

// The checks on every change keep these sums within range.
std::int64_t Receipt::Total() const {
    std::int64_t total = 0;
    for (const auto& item : items)
        total += item.Net();
    return total;
}

std::int64_t Receipt::Paid() const {
    std::int64_t paid = 0;
    for (const auto& payment : payments)
        paid += payment.amount;
    return paid;
}

std::int64_t Receipt::PaidBy(int type) const {
    std::int64_t paid = 0;
    for (const auto& payment : payments)
        if (payment.type == type)
            paid += payment.amount;
    return paid;
}

Code AddItem(Receipt& receipt, ReceiptItem item) {
    if (receipt.totaled)
        return kWrongDocumentState;
    if (item.price < 0 || item.quantity <= 0)
        return kBadArgument;
    auto amount = MulDivRound(item.price, item.quantity, 1000);
    if (!amount || !FitsInt32(*amount) || !Add(receipt.Total(), *amount))
        return kOverflow;
    item.amount = *amount;
    item.discounts = item.markups = 0;
    item.taxGroup = -1;
    item.taxRate = 0;
    receipt.items.push_back(std::move(item));
    return kOk;
}

Code AddAdjustment(Receipt& receipt, bool discount, int mode, std::int32_t value, std::int64_t& applied) {
    if (receipt.items.empty() || receipt.totaled)
        return kWrongDocumentState;
    if (value < 0 || (mode != 0 && mode != 1))
        return kBadArgument;
    ReceiptItem& item = receipt.items.back();
    std::optional<std::int64_t> amount = value;
    if (mode == 1) {
        if (discount && value > 10000)
            return kAdjustmentTooLarge;
        amount = MulDivRound(item.Net(), value, 10000);
    }
    if (!amount)
        return kOverflow;
    if (discount) {
        if (*amount > item.Net())
            return kAdjustmentTooLarge;
        item.discounts += *amount;
    } else {
        auto net = Add(item.Net(), *amount);
        if (!net || !FitsInt32(*net) || !Add(receipt.Total(), *amount))
            return kOverflow;
        item.markups += *amount;
    }
    applied = *amount;
    return kOk;
}

Code ApplyTax(Receipt& receipt, int group, std::int32_t rate) {
    if (receipt.items.empty() || receipt.totaled)
        return kWrongDocumentState;
    receipt.items.back().taxGroup = group;
    receipt.items.back().taxRate = rate;
    return kOk;
}

Code TotalUp(Receipt& receipt) {
    if (receipt.items.empty())
        return kEmptyReceipt;
    receipt.totaled = true;
    return kOk;
}

Code Tender(Receipt& receipt, int type, std::int32_t amount, std::string text) {
    // A receipt of zero is covered before any payment, yet it is still paid (with nothing).
    if (!receipt.totaled || (receipt.Covered() && !receipt.payments.empty()))
        return kWrongDocumentState;
    if (type < 0 || type >= kPaymentTypes || amount < 0)
        return kBadArgument;
    const std::int64_t due = receipt.Total() - receipt.Paid();
    if (type != 0 && amount > due)
        return kNonCashOverpay;
    if (!Add(receipt.Paid(), amount))
        return kOverflow;
    receipt.payments.push_back({type, amount, std::move(text)});
    return kOk;
}

} // namespace azimuth
