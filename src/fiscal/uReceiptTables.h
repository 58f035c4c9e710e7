// The host's receipt: its parameters, goods and payments tables, read into plain values, and the
// units the printer takes (kopecks and thousandths as 32-bit integers).
#pragma once

#include "framework/uCommonUtils.h"

#include <cstdint>
#include <optional>
#include <string>

// Codes of receipts.
enum : LONG {
    ErrNoSlipDocument = 3004,
    ErrPaymentMismatch = 3009,
};

// A value × 100 of a currency amount (kopecks), or a quantity × 1000 (thousandths), to the nearest
// integer with halves to the even neighbour. False when the result does not fit 32 bits or the
// quantity is not a finite number: a wrapped value would register another amount.
bool CurrencyToKopecks(CY Value, LONG& Kopecks) noexcept;
bool QuantityToThousandths(double Quantity, LONG& Thousandths) noexcept;
// An amount in roubles that the printer reports as a floating-point number, to the four decimals
// currency holds, halves to the even neighbour.
double RoundToCurrencyDigits(double Roubles) noexcept;

// Every reader below throws an EDriverError (the host's wrong input, 1004) when a required
// element is missing or does not convert; an optional one takes its default.

struct TReceiptParams {
    LONG Kind = 0;       // 0 sale, anything else a return
    bool Fiscal = true;  // false: a text copy
    LONG PrintMode = 0;  // 2: on an inserted sheet
    CY Total{};
    std::string Header;  // ANSI, printed centred before the items
    std::string Footer;  // after the payments
    LONG ReceiptNumber = 0;
    LONG DocNumber = 0;
    DATE DocDateTime = 0;
    std::string Cashier;
};
void ReadReceiptParams(const Variant& Params, TReceiptParams& Out);

// A two-dimensional host table: the column is the first index, the row the second.
class TReceiptTable {
public:
    explicit TReceiptTable(const Variant& Table);
    // Counted in 64 bits: a table may have more than 2^31 rows.
    std::int64_t RowCount() const noexcept { return FRowCount; }
    // The index of the i-th row (0 <= i < RowCount()).
    LONG Row(std::int64_t i) const noexcept { return static_cast<LONG>(FFirstRow + i); }
    bool HasColumn(LONG Column) const noexcept {
        return Column >= FFirstColumn && std::int64_t{Column} - FFirstColumn < FColumnCount;
    }
    // Empty for a column the table lacks.
    Variant Cell(LONG Column, LONG Row) const;
    // Throws for a column the table lacks.
    Variant Required(LONG Column, LONG Row) const;

private:
    ArrayReader FReader;
    LONG FFirstColumn, FFirstRow;
    std::int64_t FColumnCount, FRowCount;
};

struct TGoodsRow {
    std::string Name;
    std::string Code;
    LONG Department = 0;
    CY Price{};
    double Quantity = 0;
    std::string AdjustmentText;
    CY Adjustment{}; // a discount when positive, a markup when negative
    LONG TaxGroup = -1;
    CY TaxAmount{};
    CY TaxRate{};
    std::string Comment;
};
void ReadGoodsRow(const TReceiptTable& Goods, LONG Row, TGoodsRow& Out);

struct TPaymentRow {
    LONG Type = 0; // 0 cash
    CY Amount{};
    std::string Text;
    std::string Name;
};
void ReadPaymentRow(const TReceiptTable& Payments, LONG Row, TPaymentRow& Out);

// A goods row in the printer's units and argument forms.
struct TReceiptItem {
    std::string Name;       // no line breaks, at most 40 characters, never empty
    std::string Code;       // at most 20 characters, never empty
    LONG Department = 0;
    LONG Price = 0;         // kopecks
    LONG Quantity = 0;      // thousandths
    std::string Comment;    // lines joined with '|'
    std::string AdjustmentText;
    bool HasAdjustment = false;
    LONG AdjustmentKind = 0; // 1 discount, 0 markup
    LONG Adjustment = 0;     // kopecks
    LONG TaxGroup = -1;      // -1 for none (also when taxes are not printed)
};
// Throws EInputError for a value the printer cannot take. The tax group is sent only when taxes
// are printed, and only then must it be one the printer can take.
void ToReceiptItem(const TGoodsRow& Row, bool PrintTaxes, TReceiptItem& Out);

struct TTender {
    BYTE Type = 0;
    LONG Amount = 0; // kopecks
    std::string Text;
};
void ToTender(const TPaymentRow& Row, TTender& Out);

// Runs the reading of host input: whatever does not convert is the host's wrong input.
template <class F>
bool ReadHostInput(F&& Read) {
    try {
        Read();
        return true;
    } catch (const EDriverError&) {
        return false;
    }
}
