#include "fiscal/uReceiptCopy.h"

#include "fiscal/uFiscalTexts.h"
#include "fiscal/uTextLayout.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>

namespace {

// The labels in the printer's code page, converted once.
struct TCopyLabels {
    std::string SerialNumber = Utf8ToAnsi(fiscaltexts::CopySerialNumber);
    std::string DocNumber = Utf8ToAnsi(fiscaltexts::CopyDocNumber);
    std::string Cashier = Utf8ToAnsi(fiscaltexts::CopyCashier);
    std::string ReceiptNumber = Utf8ToAnsi(fiscaltexts::CopyReceiptNumber);
    std::string Roubles = Utf8ToAnsi(fiscaltexts::CopyRoubles);
    std::string Discount = Utf8ToAnsi(fiscaltexts::CopyDiscount);
    std::string Markup = Utf8ToAnsi(fiscaltexts::CopyMarkup);
    std::string TaxIncluded = Utf8ToAnsi(fiscaltexts::CopyTaxIncluded);
    std::string Percent = Utf8ToAnsi(fiscaltexts::CopyPercent);
    std::string Total = Utf8ToAnsi(fiscaltexts::CopyTotal);
    std::string Return = Utf8ToAnsi(fiscaltexts::CopyReturn);
    std::string Sale = Utf8ToAnsi(fiscaltexts::CopySale);
    std::string Change = Utf8ToAnsi(fiscaltexts::CopyChange);
};

const TCopyLabels& Labels() {
    static const TCopyLabels labels;
    return labels;
}

void Line(std::string& out, std::string_view line) {
    out += line;
    out += LineBreak;
}

void Pair(const TCopyContext& c, std::string& out, std::string_view left, std::string_view right) {
    Line(out, JustifyPair(left, right, c.Width));
}

// Hundredths as "0.00", halves away from zero.
std::string Hundredths(long long hundredths, char separator) {
    const bool negative = hundredths < 0;
    const unsigned long long magnitude =
        negative ? 0ULL - static_cast<unsigned long long>(hundredths) : static_cast<unsigned long long>(hundredths);
    char text[40];
    std::snprintf(text, sizeof text, "%s%llu%c%02llu", negative ? "-" : "", magnitude / 100, separator,
                  magnitude % 100);
    return text;
}

std::string Money(CY value, char separator) {
    const long long v = value.int64;
    // Four decimals to two, away from zero; no overflow: |v| / 100 + 1 fits.
    const long long hundredths = v / 100 + (v % 100 >= 50 ? 1 : 0) - (v % 100 <= -50 ? 1 : 0);
    return Hundredths(hundredths, separator);
}

std::string Money(double value, char separator) {
    const double hundredths = std::round(value * 100.0);
    if (!std::isfinite(hundredths) || std::fabs(hundredths) > 9.0e18) {
        char text[64];
        std::snprintf(text, sizeof text, "%.2f", value);
        return text;
    }
    return Hundredths(static_cast<long long>(hundredths), separator);
}

// A 128-bit unsigned number as two halves: the exact product of a price and a quantity. Written
// out rather than left to a compiler type that 32-bit targets lack.
struct TWide {
    std::uint64_t Hi = 0, Lo = 0;
};

TWide Multiply(std::uint64_t a, std::uint64_t b) {
    const std::uint64_t a0 = a & 0xFFFFFFFFu, a1 = a >> 32, b0 = b & 0xFFFFFFFFu, b1 = b >> 32;
    const std::uint64_t p00 = a0 * b0, p01 = a0 * b1, p10 = a1 * b0, p11 = a1 * b1;
    const std::uint64_t middle = (p00 >> 32) + (p01 & 0xFFFFFFFFu) + (p10 & 0xFFFFFFFFu);
    return {p11 + (p01 >> 32) + (p10 >> 32) + (middle >> 32), (middle << 32) | (p00 & 0xFFFFFFFFu)};
}

TWide ShiftRight(TWide v, int bits) {
    if (bits >= 128)
        return {};
    if (bits >= 64)
        return {0, v.Hi >> (bits - 64)};
    if (bits > 0)
        return {v.Hi >> bits, (v.Lo >> bits) | (v.Hi << (64 - bits))};
    return v;
}

// v ÷ 100 and the remainder, a 32-bit limb at a time.
TWide DivideBy100(TWide v, unsigned& remainder) {
    const std::uint64_t limbs[4] = {v.Hi >> 32, v.Hi & 0xFFFFFFFFu, v.Lo >> 32, v.Lo & 0xFFFFFFFFu};
    std::uint64_t quotient[4], rest = 0;
    for (int i = 0; i < 4; ++i) {
        const std::uint64_t current = (rest << 32) | limbs[i];
        quotient[i] = current / 100;
        rest = current % 100;
    }
    remainder = static_cast<unsigned>(rest);
    return {(quotient[0] << 32) | quotient[1], (quotient[2] << 32) | quotient[3]};
}

// Price × quantity in hundredths, halves away from zero as the price itself is shown, computed
// exactly: the price is a whole number of ten-thousandths and the quantity a binary fraction
// m × 2^e, so the product is a whole number shifted right. A product in doubles, rounded twice,
// can print an amount its own line contradicts (1.005 × 1 as 1.00). False for a quantity that is
// no number or a product no line could show.
bool AmountInHundredths(CY price, double quantity, long long& hundredths) {
    if (!std::isfinite(quantity))
        return false;
    int exponent = 0;
    const double fraction = std::frexp(std::fabs(quantity), &exponent);
    std::uint64_t mantissa = static_cast<std::uint64_t>(std::ldexp(fraction, 53));
    exponent -= 53;
    while (mantissa != 0 && (mantissa & 1) == 0 && exponent < 0) {
        mantissa >>= 1;
        ++exponent;
    }
    if (exponent > 0)
        return false; // a quantity of 2^53 and more
    const bool negative = (price.int64 < 0) != (quantity < 0);
    const std::uint64_t magnitude = price.int64 < 0 ? 0 - static_cast<std::uint64_t>(price.int64)
                                                    : static_cast<std::uint64_t>(price.int64);
    unsigned rest = 0;
    const TWide whole = DivideBy100(ShiftRight(Multiply(magnitude, mantissa), -exponent), rest);
    // The part shifted out is below one: half a hundredth or more is exactly a rest of 50 or more.
    const std::uint64_t rounded = whole.Lo + (rest >= 50 ? 1 : 0);
    if (whole.Hi != 0 || rounded < whole.Lo || rounded > static_cast<std::uint64_t>(LLONG_MAX))
        return false;
    hundredths = negative ? -static_cast<long long>(rounded) : static_cast<long long>(rounded);
    return true;
}

std::string Roubles(const TCopyContext& c, CY value) { return Money(value, c.DecimalSeparator) + Labels().Roubles; }

CY Abs(CY value) {
    CY r;
    r.int64 = value.int64 >= 0 ? value.int64 : value.int64 == INT64_MIN ? INT64_MAX : -value.int64;
    return r;
}

// Up to 15 significant digits and no trailing zeros.
std::string General(double value, char separator) {
    char text[40];
    std::snprintf(text, sizeof text, "%.15g", value);
    std::string out(text);
    for (char& ch : out)
        if (ch == '.')
            ch = separator;
    return out;
}

// The date and the minute of a document time. The minute is cut, not rounded: 15:29:59.6 is
// still 15:29, and the last second of a year stays in that year. The time of day is first taken
// to the millisecond (what a time record holds), so that a whole minute stored a hair below its
// exact fraction of a day still reads as itself. False for a value with no calendar date.
bool CopyDateTime(DATE value, SYSTEMTIME& out) {
    if (!std::isfinite(value))
        return false;
    const double day = std::trunc(value);
    constexpr double MillisecondsPerDay = 86400000.0;
    // Before 1899-12-30 the fraction counts forward from the day as well.
    const double milliseconds = std::min(std::round(std::fabs(value - day) * MillisecondsPerDay), MillisecondsPerDay - 1);
    if (!VariantTimeToSystemTime(day, &out))
        return false;
    const long minutes = static_cast<long>(milliseconds) / 60000;
    out.wHour = static_cast<WORD>(minutes / 60);
    out.wMinute = static_cast<WORD>(minutes % 60);
    out.wSecond = 0;
    out.wMilliseconds = 0;
    return true;
}

std::string Number5(LONG value) {
    char text[16];
    std::snprintf(text, sizeof text, "%.5d", static_cast<int>(value));
    return text;
}

} // namespace

char PaperDecimalSeparator() {
    char separator[8] = {};
    if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, sizeof separator) > 1)
        return separator[0];
    return '.';
}

void RenderCopyHeader(const TCopyContext& c, const TReceiptParams& p, std::string& out) {
    const TCopyLabels& l = Labels();
    Pair(c, out, l.SerialNumber + c.SerialNumber, l.DocNumber + Number5(p.DocNumber));
    SYSTEMTIME t{};
    if (!CopyDateTime(p.DocDateTime, t))
        throw EInputError();
    char date[16], time[8];
    std::snprintf(date, sizeof date, "%02u-%02u-%04u", t.wDay % 100u, t.wMonth % 100u, t.wYear % 10000u);
    std::snprintf(time, sizeof time, "%02u:%02u", t.wHour % 100u, t.wMinute % 100u);
    Pair(c, out, date, time);
    Pair(c, out, l.Cashier + c.Cashier, l.ReceiptNumber + Number5(p.ReceiptNumber));
    if (!p.Header.empty())
        Line(out, CenterText(p.Header, c.Width));
}

void RenderCopyItem(const TCopyContext& c, const TGoodsRow& row, std::string& out) {
    const TCopyLabels& l = Labels();
    Pair(c, out, row.Code, c.Departments->Name(row.Department));
    Line(out, row.Name.empty() ? std::string_view(" ") : std::string_view(row.Name));
    long long hundredths = 0;
    const std::string amount =
        AmountInHundredths(row.Price, row.Quantity, hundredths)
            ? Hundredths(hundredths, c.DecimalSeparator)
            : Money(static_cast<double>(row.Price.int64) / 10000.0 * row.Quantity, c.DecimalSeparator);
    Pair(c, out, Money(row.Price, c.DecimalSeparator) + " X " + General(row.Quantity, c.DecimalSeparator),
         amount + l.Roubles);
    if (!row.Comment.empty())
        for (const std::string& line : SplitLines(row.Comment))
            Line(out, line);
    if (row.Adjustment.int64 != 0) {
        // A discount shows negative, a markup positive; the least currency value has no opposite.
        if (row.Adjustment.int64 == INT64_MIN)
            throw EInputError();
        CY shown;
        shown.int64 = -row.Adjustment.int64;
        Pair(c, out, row.Adjustment.int64 > 0 ? l.Discount : l.Markup, Roubles(c, shown));
        if (!row.AdjustmentText.empty())
            Line(out, row.AdjustmentText);
    }
    if (row.TaxGroup >= 0 && c.PrintTaxes)
        Pair(c, out,
             l.TaxIncluded + c.Taxes->Name(row.TaxGroup) + " " + Money(row.TaxRate, c.DecimalSeparator) + l.Percent,
             Roubles(c, row.TaxAmount));
}

void RenderCopyTotals(const TCopyContext& c, const TReceiptParams& p, const TReceiptTable& payments,
                      std::string& out) {
    const TCopyLabels& l = Labels();
    const CY total = Abs(p.Total);
    Pair(c, out, l.Total, Roubles(c, total));
    Line(out, p.Kind != 0 ? l.Return : l.Sale);
    TPaymentRow row;
    std::int64_t sum = 0;
    for (std::int64_t i = 0; i < payments.RowCount(); ++i) {
        ReadPaymentRow(payments, payments.Row(i), row);
        if (__builtin_add_overflow(sum, row.Amount.int64, &sum))
            sum = row.Amount.int64 < 0 ? INT64_MIN : INT64_MAX;
        CY shown = row.Amount;
        CY change{};
        if (row.Type == 0) {
            if (row.Amount.int64 >= total.int64)
                change.int64 = row.Amount.int64 - total.int64;
        } else if (sum >= total.int64) {
            shown.int64 -= sum - total.int64; // sum - total lies within [0, amount]
        }
        Pair(c, out, row.Name.empty() ? c.Payments->Name(row.Type) : row.Name, Roubles(c, Abs(shown)));
        if (!row.Text.empty())
            Line(out, row.Text);
        if (change.int64 > 0)
            Pair(c, out, l.Change, Roubles(c, change));
        if (sum >= total.int64 || change.int64 > 0)
            break;
    }
    if (!p.Footer.empty())
        Line(out, CenterText(p.Footer, c.Width));
}
