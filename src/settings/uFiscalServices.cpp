// TDriverFRServices: the settings pages' printer operations on TDriverFR.
#include "settings/uFiscalServices.h"

#include "fiscal/uDriverFR.h"
#include "fiscal/uFiscalTexts.h"
#include "framework/uEquipmentErrors.h"

namespace {

// The driver's own refusals (1006 without a library, 1008 without a connection) keep their own
// messages: passed through the translation of library codes they would read as unknown library
// failures. A library asked before it has connected answers in terms the user cannot act on.
LONG Refusal(TDriverFR& Driver, WString& Text) {
    Text.clear();
    return Driver.CheckReady();
}

} // namespace

LONG TDriverFRServices::ChangeBaudrate(LONG Baud, WString& Text) {
    if (const LONG refused = Refusal(FDriver, Text))
        return refused;
    return FDriver.ChangeBaudrate(Baud, Text);
}

LONG TDriverFRServices::SetDateTime(DATE DateTime, WString& Text) {
    if (const LONG refused = Refusal(FDriver, Text))
        return refused;
    return FDriver.DoSetDateTime(DateTime, Text);
}

LONG TDriverFRServices::ReadPrinterInfo(std::array<std::string, 7>& Texts, WString& Text) {
    Texts.fill(Utf8ToAnsi(fiscaltexts::NotDetermined));
    if (const LONG refused = Refusal(FDriver, Text))
        return refused;
    return FDriver.TranslateError(FDriver.ReadPrinterInfo(Texts), Text);
}

LONG TDriverFRServices::PrintXReport(WString& Text) {
    if (const LONG refused = Refusal(FDriver, Text))
        return refused;
    return FDriver.TranslateError(FDriver.PrintXReportNow(), Text);
}

LONG TDriverFRServices::CloseShift(WString& Text) {
    if (const LONG refused = Refusal(FDriver, Text))
        return refused;
    return FDriver.TranslateError(FDriver.CloseShift(), Text);
}

LONG TDriverFRServices::WriteDocParams(LONG Word1, LONG Word2, WString& Text) {
    if (const LONG refused = Refusal(FDriver, Text))
        return refused;
    return FDriver.TranslateError(FDriver.WriteDocParams(Word1, Word2), Text);
}

LONG TDriverFRServices::ProgramHeader(const std::string& Lines, WString& Text) {
    if (const LONG refused = Refusal(FDriver, Text))
        return refused;
    return FDriver.TranslateError(FDriver.ProgramHeader(Lines), Text);
}

LONG TDriverFRServices::ProgramTail(const std::string& Lines, WString& Text) {
    if (const LONG refused = Refusal(FDriver, Text))
        return refused;
    return FDriver.TranslateError(FDriver.ProgramTail(Lines), Text);
}

LONG TDriverFRServices::ProgramPayment(LONG Number, const std::string& Name, WString& Text) {
    if (const LONG refused = Refusal(FDriver, Text))
        return refused;
    return FDriver.TranslateError(FDriver.ProgramPayment(Number, Name), Text);
}

LONG TDriverFRServices::ProgramTax(LONG Group, const std::string& Name, CY Rate, CY Second, LONG Flag,
                                   WString& Text) {
    if (const LONG refused = Refusal(FDriver, Text))
        return refused;
    return FDriver.TranslateError(FDriver.ProgramTax(Group, Name, Rate, Second, Flag), Text);
}
