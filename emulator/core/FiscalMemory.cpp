#include "emulator/FiscalMemory.h"

#include "JsonFields.h"
#include "emulator/Encoding.h"
#include "emulator/Money.h"

#include <utility>

namespace azimuth {

namespace {

constexpr std::int64_t kMaxMoney = kMaxTotal;
constexpr std::int64_t kMaxCount = INT32_MAX;

using MoneyField = std::int64_t ShiftTotals::*;
using CountField = std::int32_t ShiftTotals::*;
using MoneyArray = std::array<std::int64_t, kPaymentTypes> ShiftTotals::*;
using TaxArray = std::array<std::int64_t, kTaxGroups> ShiftTotals::*;

const std::pair<const char*, MoneyField> kMoneyFields[] = {
    {"sales", &ShiftTotals::sales},         {"returns", &ShiftTotals::returns}, {"discounts", &ShiftTotals::discounts},
    {"markups", &ShiftTotals::markups},     {"cashIn", &ShiftTotals::cashIn},   {"cashOut", &ShiftTotals::cashOut},
};
const std::pair<const char*, CountField> kCountFields[] = {
    {"saleReceipts", &ShiftTotals::saleReceipts},
    {"returnReceipts", &ShiftTotals::returnReceipts},
    {"cancelledReceipts", &ShiftTotals::cancelledReceipts},
    {"saleItems", &ShiftTotals::saleItems},
    {"returnItems", &ShiftTotals::returnItems},
    {"discountCount", &ShiftTotals::discountCount},
    {"markupCount", &ShiftTotals::markupCount},
    {"cashInCount", &ShiftTotals::cashInCount},
    {"cashOutCount", &ShiftTotals::cashOutCount},
    {"nonFiscalDocuments", &ShiftTotals::nonFiscalDocuments},
    {"xReports", &ShiftTotals::xReports},
    {"documents", &ShiftTotals::documents},
};
const std::pair<const char*, MoneyArray> kPaymentArrays[] = {
    {"salesByPayment", &ShiftTotals::salesByPayment},
    {"returnsByPayment", &ShiftTotals::returnsByPayment},
};
const std::pair<const char*, TaxArray> kTaxArrays[] = {
    {"salesTax", &ShiftTotals::salesTax},
    {"returnsTax", &ShiftTotals::returnsTax},
};

template <std::size_t N>
void ReadMoneyArray(const JsonFields& f, const char* key, std::array<std::int64_t, N>& out) {
    const Json* array = f.Array(key, N);
    if (!array)
        return;
    for (std::size_t i = 0; i < N; ++i) {
        const Json& v = (*array)[i];
        if (!v.is_number_integer() || v.get<std::int64_t>() < 0 || v.get<std::int64_t>() > kMaxMoney)
            f.Fail(key, "must hold non-negative integers");
        out[i] = v.get<std::int64_t>();
    }
}

Json ShiftToJson(const ShiftTotals& s) {
    Json j = Json::object();
    for (const auto& [key, field] : kMoneyFields)
        j[key] = s.*field;
    for (const auto& [key, field] : kCountFields)
        j[key] = s.*field;
    for (const auto& [key, field] : kPaymentArrays)
        j[key] = s.*field;
    for (const auto& [key, field] : kTaxArrays)
        j[key] = s.*field;
    return j;
}

ShiftTotals ShiftFromJson(const Json& json) {
    ShiftTotals s;
    JsonFields f(json, std::string(files::kMemory) + ": shift");
    for (const auto& [key, field] : kMoneyFields)
        f.Int(key, s.*field, 0, kMaxMoney);
    for (const auto& [key, field] : kCountFields)
        f.Int(key, s.*field, 0, kMaxCount);
    for (const auto& [key, field] : kPaymentArrays)
        ReadMoneyArray(f, key, s.*field);
    for (const auto& [key, field] : kTaxArrays)
        ReadMoneyArray(f, key, s.*field);
    return s;
}

Json ReceiptToJson(const Receipt& r) {
    Json items = Json::array();
    for (const auto& i : r.items)
        items.push_back({{"name", Cp1251ToUtf8(i.name)},
                         {"code", Cp1251ToUtf8(i.code)},
                         {"unit", Cp1251ToUtf8(i.unit)},
                         {"department", Cp1251ToUtf8(i.department)},
                         {"price", i.price},
                         {"quantity", i.quantity},
                         {"amount", i.amount},
                         {"discounts", i.discounts},
                         {"markups", i.markups},
                         {"taxGroup", i.taxGroup},
                         {"taxRate", i.taxRate}});
    Json payments = Json::array();
    for (const auto& p : r.payments)
        payments.push_back({{"type", p.type}, {"amount", p.amount}, {"text", Cp1251ToUtf8(p.text)}});
    return Json{{"kind", static_cast<int>(r.kind)},
                {"cashier", Cp1251ToUtf8(r.cashier)},
                {"number", r.number},
                {"totaled", r.totaled},
                {"items", items},
                {"payments", payments}};
}

// Rebuilds the receipt through the same arithmetic that made it, so a hand-edited file cannot
// smuggle in amounts that do not add up.
Receipt ReceiptFromJson(const Json& json) {
    const std::string where = std::string(files::kMemory) + ": document.receipt";
    JsonFields f(json, where);
    Receipt r;
    int kind = 0;
    f.Int("kind", kind, 0, 2);
    if (kind != 0 && kind != 2)
        f.Fail("kind", "must be 0 (sale) or 2 (return)");
    r.kind = static_cast<ReceiptKind>(kind);
    f.Text("cashier", r.cashier);
    f.Int("number", r.number, 0, kMaxCount);
    if (const Json* items = f.Find("items")) {
        if (!items->is_array())
            f.Fail("items", "must be an array");
        for (const Json& itemJson : *items) {
            JsonFields fi(itemJson, where + ".items");
            ReceiptItem item;
            fi.Text("name", item.name);
            fi.Text("code", item.code);
            fi.Text("unit", item.unit);
            fi.Text("department", item.department);
            fi.Int("price", item.price, 0, INT32_MAX);
            fi.Int("quantity", item.quantity, 1, INT32_MAX);
            std::int64_t discounts = 0, markups = 0;
            int taxGroup = -1;
            std::int32_t taxRate = 0;
            fi.Int("discounts", discounts, 0, INT32_MAX);
            fi.Int("markups", markups, 0, INT32_MAX);
            fi.Int("taxGroup", taxGroup, -1, kTaxGroups - 1);
            fi.Int("taxRate", taxRate, 0, 10000);
            std::int64_t applied = 0;
            if (AddItem(r, item) != kOk ||
                (markups && AddAdjustment(r, false, 0, static_cast<std::int32_t>(markups), applied) != kOk) ||
                (discounts && AddAdjustment(r, true, 0, static_cast<std::int32_t>(discounts), applied) != kOk))
                fi.Fail("amount", "does not add up");
            if (taxGroup >= 0)
                ApplyTax(r, taxGroup, taxRate);
        }
    }
    bool totaled = false;
    f.Bool("totaled", totaled);
    if (totaled && TotalUp(r) != kOk)
        f.Fail("totaled", "is set on a receipt without items");
    if (const Json* payments = f.Find("payments")) {
        if (!payments->is_array())
            f.Fail("payments", "must be an array");
        for (const Json& payJson : *payments) {
            JsonFields fp(payJson, where + ".payments");
            int type = 0;
            std::int32_t amount = 0;
            std::string text;
            fp.Int("type", type, 0, kPaymentTypes - 1);
            fp.Int("amount", amount, 0, INT32_MAX);
            fp.Text("text", text);
            if (Tender(r, type, amount, std::move(text)) != kOk)
                fp.Fail("amount", "is not acceptable at this point of the receipt");
        }
    }
    return r;
}

} // namespace

Json MemoryToJson(const FiscalMemory& m) {
    Json j = {{"format", 1},
              {"lastClosedShift", m.lastClosedShift},
              {"shiftOpen", m.shiftOpen},
              {"shiftOpenedAt", m.shiftOpen ? Json(FormatTimestamp(m.shiftOpenedAt)) : Json(nullptr)},
              {"documentNumber", m.documentNumber},
              {"receiptNumber", m.receiptNumber},
              {"cash", m.cash},
              {"grandSales", m.grandSales},
              {"grandReturns", m.grandReturns},
              {"shift", ShiftToJson(m.shift)},
              {"document", nullptr}};
    if (m.document) {
        j["document"] = {{"kind", m.document->kind == DocumentKind::Receipt ? "receipt" : "text"}};
        if (m.document->kind == DocumentKind::Receipt)
            j["document"]["receipt"] = ReceiptToJson(m.document->receipt);
    }
    return j;
}

FiscalMemory MemoryFromJson(const Json& json) {
    FiscalMemory m;
    JsonFields f(json, files::kMemory);
    int format = 1;
    f.Int("format", format, 1, 1);
    f.Int("lastClosedShift", m.lastClosedShift, 0, kMaxCount - 1);
    f.Bool("shiftOpen", m.shiftOpen);
    if (m.shiftOpen) {
        const Json* opened = f.Find("shiftOpenedAt");
        auto t = opened && opened->is_string() ? ParseTimestamp(opened->get<std::string>()) : std::nullopt;
        if (!t)
            f.Fail("shiftOpenedAt", "must be a time \"YYYY-MM-DD hh:mm:ss\" while the shift is open");
        m.shiftOpenedAt = *t;
    }
    f.Int("documentNumber", m.documentNumber, 0, kMaxCount - 1);
    f.Int("receiptNumber", m.receiptNumber, 0, kMaxCount - 1);
    f.Int("cash", m.cash, 0, kMaxMoney);
    f.Int("grandSales", m.grandSales, 0, kMaxMoney);
    f.Int("grandReturns", m.grandReturns, 0, kMaxMoney);
    if (const Json* shift = f.Find("shift"))
        m.shift = ShiftFromJson(*shift);
    if (const Json* doc = f.Find("document")) {
        JsonFields fd(*doc, std::string(files::kMemory) + ": document");
        std::string kind;
        if (const Json* k = fd.Find("kind"); k && k->is_string())
            kind = k->get<std::string>();
        if (kind == "receipt") {
            const Json* receipt = fd.Find("receipt");
            if (!receipt)
                fd.Fail("receipt", "is missing");
            m.document = OpenDocument{DocumentKind::Receipt, ReceiptFromJson(*receipt)};
        } else if (kind == "text") {
            m.document = OpenDocument{DocumentKind::NonFiscal, {}};
        } else {
            fd.Fail("kind", "must be \"receipt\" or \"text\"");
        }
    }
    return m;
}

} // namespace azimuth
