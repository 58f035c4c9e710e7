// TDriverFR: the shift's money and document counters (GetCountersInfo).
#include "fiscal/uDriverFR.h"

#include "fiscal/uFiscalTexts.h"
#include "fiscal/uReceiptTables.h"
#include "framework/uEquipmentErrors.h"
#include "framework/uExactFloat.h"

#include <cmath>
#include <cstdint>
#include <vector>

namespace {

constexpr BYTE EReportByPayment = 54;
constexpr LONG PaymentTypes = 6;
constexpr LONG Counters1Size = 20;

double RoundTo4(double x) {
    return RoundToCurrencyDigits(x);
}

// An amount in roubles as currency; a value beyond the currency range (a garbled answer) fails
// the command instead of turning into another amount.
CY CurrencyOf(double roubles) {
    return Variant(roubles).AsCurrency();
}

[[noreturn]] void Overflow() {
    throw EConversionError(DISP_E_OVERFLOW, VT_CY, VT_CY);
}
std::int64_t Sum(std::int64_t a, std::int64_t b) {
    std::int64_t r = 0;
    if (__builtin_add_overflow(a, b, &r))
        Overflow();
    return r;
}
std::int64_t Difference(std::int64_t a, std::int64_t b) {
    std::int64_t r = 0;
    if (__builtin_sub_overflow(a, b, &r))
        Overflow();
    return r;
}

// A money counter the printer reports in roubles, kept as a number: a NaN or a value beyond the
// currency range (a garbled answer) fails the command as the per-payment sums do.
double MoneyCounter(double roubles) {
    CurrencyOf(roubles);
    return RoundTo4(roubles);
}

double Roubles(std::int64_t scaled) {
    return ExactRatio(scaled, 10000);
}

} // namespace

LONG TDriverFR::DoGetCountersInfo(Variant& Counters1, Variant& Counters2, WString& Text) {
    const LONG ready = CheckReady();
    if (ready != ErrNone)
        return ready;
    const TAzimuthEntries lib = Lib();
    LONG code = lib.GetMony();
    if (code == ErrNone) {
        std::vector<Variant> a(Counters1Size, Variant(-1));
        a[17] = Variant(MoneyCounter(lib.GetFldFloat(22)));
        a[18] = Variant(MoneyCounter(lib.GetFldFloat(21)));
        a[19] = Variant(MoneyCounter(lib.GetFldFloat(23)));

        // Rows of payment types the printer did not report stay Empty.
        VariantArray2D b(5, PaymentTypes);
        std::int64_t sales = 0, returns = 0;
        for (LONG t = 0; t < PaymentTypes; ++t) {
            code = lib.GetEReport(EReportByPayment, static_cast<BYTE>(t));
            if (code != ErrNone)
                break;
            b.Set(0, t, Variant(t));
            b.Set(1, t, Variant::FromAnsi(FPaymentNames.Name(t)));
            b.Set(2, t, Variant(-1));
            const CY s = CurrencyOf(lib.GetFldFloat(5));
            const CY v = CurrencyOf(lib.GetFldFloat(7));
            b.Set(3, t, Variant::FromCurrency(s));
            b.Set(4, t, Variant::FromCurrency(v));
            sales = Sum(sales, s.int64);
            returns = Sum(returns, v.int64);
        }
        if (code == ErrNone) {
            a[0] = Variant(Roubles(Difference(sales, returns)));
            a[1] = Variant(Roubles(Sum(sales, returns)));
            a[5] = Variant(Roubles(sales));
            a[6] = Variant(Roubles(returns));
            // Document counts are a bonus: a printer that cannot tell them still gave the money.
            const LONG counters = lib.GetCounters();
            if (counters == ErrNone) {
                a[3] = Variant(static_cast<LONG>(lib.GetFldWord(12)));
                a[4] = Variant(static_cast<LONG>(lib.GetFldWord(14)));
                a[15] = Variant(static_cast<LONG>(lib.GetFldWord(18)));
                a[16] = Variant(static_cast<LONG>(lib.GetFldWord(17)));
            } else {
                NoteLibraryEvent(TEventLevel::Warning, fiscaltexts::EventNoDocCounters, counters);
            }
        }
        Counters1 = MakeVariantArray(std::move(a));
        Counters2 = b.Release();
    }
    return TranslateError(code, Text);
}
