// Building the host's receipt tables and reading what the virtual printer kept of them.
#pragma once

#include "FiscalTestSupport.h"

#include <cmath>
#include <vector>

namespace fiscaltest {

inline Variant Cy(double value) {
    CY cy;
    cy.int64 = std::llround(value * 10000.0);
    return Variant::FromCurrency(cy);
}
inline Variant Str(const char* utf8) { return Variant::FromUtf8(utf8); }

// A host table given row by row; element [column, row].
inline Variant Table(const std::vector<std::vector<Variant>>& rows, LONG columns = -1) {
    if (columns < 0)
        for (const auto& row : rows)
            columns = std::max(columns, static_cast<LONG>(row.size()));
    VariantArray2D table(std::max<LONG>(columns, 1), static_cast<LONG>(rows.size()));
    for (std::size_t r = 0; r < rows.size(); ++r)
        for (std::size_t c = 0; c < rows[r].size(); ++c)
            table.Set(static_cast<LONG>(c), static_cast<LONG>(r), rows[r][c]);
    return table.Release();
}

// A goods row with the required columns: name, department, price, quantity, adjustment.
inline std::vector<Variant> Item(const char* name, double price, double quantity, double adjustment = 0,
                                 LONG taxGroup = -1) {
    return {Str(name), Str(""), Str(""), Variant(1), Cy(price), Variant(quantity), Str(""), Cy(adjustment),
            Cy(0),     Cy(0),   Variant(taxGroup)};
}

inline std::vector<Variant> Payment(LONG type, double amount, const char* text = "") {
    return {Variant(type), Cy(amount), Str(text)};
}

// Receipt parameters: kind, fiscal, print mode, (unused), total, then the optional ones.
inline Variant Params(LONG kind = 0, bool fiscal = true, double total = 0, std::vector<Variant> more = {}) {
    std::vector<Variant> items{Variant(kind), Variant(fiscal), Variant(0), Cy(0), Cy(total)};
    for (Variant& v : more)
        items.push_back(std::move(v));
    return MakeVariantArray(std::move(items));
}

inline Variant Receipt(const Variant& goods, const Variant& payments, const Variant& params) {
    return MakeVariantArray({goods, payments, params});
}

class ReceiptTest : public DriverTest {
protected:
    TCommandAnswer Print(const Variant& goods, const Variant& payments, const Variant& params = Params()) {
        return Command(Disp(), idPrintReceipt, Receipt(goods, payments, params));
    }
    json Memory() const { return json::parse(Dir.Read("COM1", "fiscal.json")); }
    bool DocumentOpen() const { return Dir.Exists("COM1", "fiscal.json") && !Memory()["document"].is_null(); }
    int SaleReceipts() const {
        return Dir.Exists("COM1", "fiscal.json") ? Memory()["shift"]["saleReceipts"].get<int>() : 0;
    }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const json& call : Dir.Journal())
            names.push_back(call["fn"].get<std::string>());
        return names;
    }
    // The entry points called since the journal had `from` lines, in order.
    std::vector<std::string> NamesSince(std::size_t from) const {
        std::vector<std::string> names = Names();
        names.erase(names.begin(), names.begin() + static_cast<std::ptrdiff_t>(std::min(from, names.size())));
        return names;
    }
};

} // namespace fiscaltest
