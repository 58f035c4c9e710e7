#include "fiscal/uReceiptTables.h"

#include "framework/uExactFloat.h"
#include "framework/uInData.h"
#include "framework/uLocalClock.h"

#include <cmath>
#include <limits>

namespace {

constexpr std::size_t NameWidth = 40;
constexpr std::size_t CodeWidth = 20;

bool Fits32(std::int64_t value) noexcept {
    return value >= std::numeric_limits<LONG>::min() && value <= std::numeric_limits<LONG>::max();
}

// Value / Divisor to the nearest integer, halves to the even neighbour.
std::int64_t DivideHalfEven(std::int64_t value, std::int64_t divisor) noexcept {
    std::int64_t quotient = value / divisor;
    const std::int64_t rest = value % divisor; // carries the sign of value
    const std::int64_t twice = (rest < 0 ? -rest : rest) * 2;
    if (twice > divisor || (twice == divisor && quotient % 2 != 0))
        quotient += value < 0 ? -1 : 1;
    return quotient;
}

// A one-dimensional array's element, or Empty beyond its bounds.
Variant ElementOf(const ArrayReader& reader, LONG i) {
    if (i < reader.Lower() || i > reader.Upper())
        return Variant();
    return reader.Item(i);
}

Variant RequiredElement(const ArrayReader& reader, LONG i) {
    if (i < reader.Lower() || i > reader.Upper())
        throw EInputError();
    return reader.Item(i);
}

// A value the host must give: Empty, like Null, is none (Empty reads as 0 or False, and a receipt
// meant as fiscal would print as a copy and be reported as done).
Variant GivenElement(const ArrayReader& reader, LONG i) {
    Variant value = RequiredElement(reader, i);
    if (value.IsEmpty())
        throw EInputError();
    return value;
}

const Variant& EmptyText() {
    static const Variant empty = Variant(WString());
    return empty;
}

void Optional(const Variant& value, std::string& target) { ReadTypedValue(value, target, EmptyText()); }
void Optional(const Variant& value, LONG& target, LONG fallback) { ReadTypedValue(value, target, Variant(fallback)); }
void Optional(const Variant& value, CY& target) { ReadTypedValue(value, target, Variant(0)); }

std::string WithoutLineBreaks(std::string text) {
    for (char& c : text)
        if (c == '\r' || c == '\n')
            c = ' ';
    return text;
}

// The printer takes a multi-line comment with its lines joined by '|'.
std::string JoinedLines(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            out += '|';
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

void CutOrBlank(std::string& text, std::size_t width) {
    if (text.size() > width)
        text.resize(width);
    if (text.empty())
        text.assign(1, ' ');
}

LONG Kopecks(CY value) {
    LONG kopecks = 0;
    if (!CurrencyToKopecks(value, kopecks))
        throw EInputError();
    return kopecks;
}

CY Magnitude(CY value) {
    if (value.int64 == std::numeric_limits<std::int64_t>::min())
        throw EInputError();
    CY magnitude;
    magnitude.int64 = value.int64 < 0 ? -value.int64 : value.int64;
    return magnitude;
}

} // namespace

bool CurrencyToKopecks(CY Value, LONG& Kopecks) noexcept {
    const std::int64_t kopecks = DivideHalfEven(Value.int64, 100);
    if (!Fits32(kopecks))
        return false;
    Kopecks = static_cast<LONG>(kopecks);
    return true;
}

bool QuantityToThousandths(double Quantity, LONG& Thousandths) noexcept {
    // The product as a double: 0.0005 must be the half it is on every host, not a hair above it.
    const double scaled = AsStoredDouble(Quantity * 1000.0);
    // Beyond this no double is a fraction any more, and far beyond what 32 bits hold.
    if (!std::isfinite(scaled) || std::fabs(scaled) > 4.0e9)
        return false;
    double whole = std::floor(scaled);
    const double rest = scaled - whole;
    if (rest > 0.5 || (rest == 0.5 && std::fmod(whole, 2.0) != 0.0))
        whole += 1.0;
    if (whole < static_cast<double>(std::numeric_limits<LONG>::min()) ||
        whole > static_cast<double>(std::numeric_limits<LONG>::max()))
        return false;
    Thousandths = static_cast<LONG>(whole);
    return true;
}

double RoundToCurrencyDigits(double Roubles) noexcept {
    const double scaled = AsStoredDouble(Roubles * 10000);
    // From here on a double has no fraction at this scale (and NaN or infinity stays as it is).
    if (!(std::fabs(scaled) < 9007199254740992.0))
        return Roubles;
    return ExactRatio(static_cast<std::int64_t>(std::nearbyint(scaled)), 10000);
}

void ReadReceiptParams(const Variant& Params, TReceiptParams& Out) {
    const ArrayReader reader(Params.Raw());
    if (reader.Dims() != 1)
        throw EInputError();
    Out.Kind = GivenElement(reader, 0).AsInteger();
    Out.Fiscal = GivenElement(reader, 1).AsBoolean();
    Optional(ElementOf(reader, 2), Out.PrintMode, 0);
    RequiredElement(reader, 3).AsCurrency();
    Out.Total = RequiredElement(reader, 4).AsCurrency();
    Optional(ElementOf(reader, 6), Out.Header);
    Optional(ElementOf(reader, 7), Out.Footer);
    Optional(ElementOf(reader, 9), Out.ReceiptNumber, 0);
    Optional(ElementOf(reader, 10), Out.DocNumber, 0);
    ReadTypedDate(ElementOf(reader, 11), Out.DocDateTime, Variant::FromDate(LocalNowAsDate()));
    Optional(ElementOf(reader, 12), Out.Cashier);
}

TReceiptTable::TReceiptTable(const Variant& Table) : FReader(Table.Raw()) {
    if (FReader.Dims() != 2)
        throw EInputError();
    FFirstColumn = FReader.Lower(1);
    FColumnCount = FReader.Count(1);
    FFirstRow = FReader.Lower(2);
    FRowCount = FReader.Count(2);
    // Indices that would run past the largest one describe no table.
    constexpr std::int64_t IndexEnd = std::int64_t{std::numeric_limits<LONG>::max()} + 1;
    if (FFirstColumn + FColumnCount > IndexEnd || FFirstRow + FRowCount > IndexEnd)
        throw EInputError();
}

Variant TReceiptTable::Cell(LONG Column, LONG Row) const {
    return HasColumn(Column) ? FReader.Item(Column, Row) : Variant();
}

Variant TReceiptTable::Required(LONG Column, LONG Row) const {
    if (!HasColumn(Column))
        throw EInputError();
    return FReader.Item(Column, Row);
}

void ReadGoodsRow(const TReceiptTable& Goods, LONG Row, TGoodsRow& Out) {
    Out.Name = Goods.Required(0, Row).AsAnsi();
    Optional(Goods.Cell(2, Row), Out.Code);
    Out.Department = Goods.Required(3, Row).AsInteger();
    Out.Price = Goods.Required(4, Row).AsCurrency();
    Out.Quantity = Goods.Required(5, Row).AsDouble();
    Optional(Goods.Cell(6, Row), Out.AdjustmentText);
    Out.Adjustment = Goods.Required(7, Row).AsCurrency();
    Goods.Required(8, Row).AsCurrency();
    Goods.Required(9, Row).AsCurrency();
    Optional(Goods.Cell(10, Row), Out.TaxGroup, -1);
    Optional(Goods.Cell(11, Row), Out.TaxAmount);
    Optional(Goods.Cell(12, Row), Out.TaxRate);
    Optional(Goods.Cell(17, Row), Out.Comment);
}

void ReadPaymentRow(const TReceiptTable& Payments, LONG Row, TPaymentRow& Out) {
    Out.Type = Payments.Required(0, Row).AsInteger();
    Out.Amount = Payments.Required(1, Row).AsCurrency();
    Optional(Payments.Cell(2, Row), Out.Text);
    Optional(Payments.Cell(3, Row), Out.Name);
}

void ToReceiptItem(const TGoodsRow& Row, bool PrintTaxes, TReceiptItem& Out) {
    Out.Name = WithoutLineBreaks(Row.Name);
    CutOrBlank(Out.Name, NameWidth);
    Out.Code = Row.Code;
    CutOrBlank(Out.Code, CodeWidth);
    Out.Department = Row.Department;
    Out.Price = Kopecks(Row.Price);
    if (!QuantityToThousandths(Row.Quantity, Out.Quantity))
        throw EInputError();
    Out.Comment = JoinedLines(Row.Comment);
    Out.AdjustmentText = Row.AdjustmentText;
    Out.HasAdjustment = Row.Adjustment.int64 != 0;
    Out.AdjustmentKind = Row.Adjustment.int64 > 0 ? 1 : 0;
    Out.Adjustment = Kopecks(Magnitude(Row.Adjustment));
    // The printer takes the group as a byte: a larger number would tax under another group. A
    // group that is not sent is no concern of the printer's.
    Out.TaxGroup = PrintTaxes && Row.TaxGroup >= 0 ? Row.TaxGroup : -1;
    if (Out.TaxGroup > 255)
        throw EInputError();
}

void ToTender(const TPaymentRow& Row, TTender& Out) {
    // The printer takes the type as a byte: a larger number would pay by another type.
    if (Row.Type < 0 || Row.Type > 255)
        throw EInputError();
    Out.Type = static_cast<BYTE>(Row.Type);
    Out.Amount = Kopecks(Magnitude(Row.Amount));
    Out.Text = Row.Text;
}
