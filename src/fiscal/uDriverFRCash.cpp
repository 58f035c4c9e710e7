// TDriverFR: cash in and out, the cash drawer, the printer's clock and the last document.
#include "fiscal/uDriverFR.h"

#include "fiscal/uReceiptTables.h"
#include "framework/uEquipmentErrors.h"

#include <limits>

LONG TDriverFR::DoEncash(LONG EncashKind, CY Amount, TFiscalDocResult& Result, WString& Text) {
    // The kind gives the direction; the amount's sign means nothing to the printer. An amount
    // that does not fit the printer's kopecks is refused before anything is sent.
    LONG kopecks = 0;
    if (!CurrencyToKopecks(Amount, kopecks) || kopecks == std::numeric_limits<LONG>::min())
        return ErrInvalidParameters;
    const LONG amount = kopecks < 0 ? -kopecks : kopecks;
    // Taking cash out must stay possible on a shift that has run too long; paying in must not.
    const LONG ready = EncashKind == 0 ? CheckReady() : CheckShift(Text);
    return PrintDocument(ready, Result, Text, [&] {
        const TAzimuthEntries lib = Lib();
        return EncashKind == 0 ? lib.FromCash(amount) : lib.ToCash(amount);
    });
}

LONG TDriverFR::DoOpenDrawer(WString& Text) {
    const LONG ready = CheckReady();
    if (ready != ErrNone)
        return ready;
    return TranslateError(Lib().CashDriverOpen(), Text);
}

// The printer has no clock that a host could read back.
LONG TDriverFR::DoGetDateTime(DATE&, WString&) {
    return ErrCommandNotSupported;
}

// The printer takes no date: it sets its clock to the computer's, which is what the host asks for.
LONG TDriverFR::DoSetDateTime(DATE, WString& Text) {
    const LONG ready = CheckReady();
    if (ready != ErrNone)
        return ready;
    return TranslateError(Lib().SetDate(), Text);
}

LONG TDriverFR::DoGetLastDocInfo(TFiscalDocResult& Result, LONG&, CY&, WString&) {
    const LONG ready = CheckReady();
    if (ready != ErrNone)
        return ready;
    ReadDocNumbers(Result);
    return ErrNone;
}
