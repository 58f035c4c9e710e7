#include "fiscal/uReceiptCopy.h"

#include "fiscal/uFiscalTexts.h"
#include "fiscal/uTextLayout.h"

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
    VariantTimeToSystemTime(p.DocDateTime, &t);
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
    const double amount = static_cast<double>(row.Price.int64) / 10000.0 * row.Quantity;
    Pair(c, out, Money(row.Price, c.DecimalSeparator) + " X " + General(row.Quantity, c.DecimalSeparator),
         Money(amount, c.DecimalSeparator) + l.Roubles);
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
