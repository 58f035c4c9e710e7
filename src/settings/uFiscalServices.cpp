// TDriverFRServices: the settings pages' printer operations on TDriverFR.
#include "settings/uFiscalServices.h"

#include "fiscal/uDriverFR.h"
#include "fiscal/uFiscalTexts.h"
#include "settings/uSettingsTexts.h"
#include "framework/uEquipmentErrors.h"

namespace {

// Runs one action on a connected printer. The driver's own refusals (1006 without a library, 1008
// without a connection) keep their own messages: passed through the translation of library codes
// they would read as unknown library failures, and a library asked before it has connected answers
// in terms the user cannot act on. An action that fails leaves its event, named by its button.
template <class F> LONG Service(TDriverFR& Driver, const char* Action, WString& Text, F&& Run) {
    Text.clear();
    LONG code = Driver.CheckReady();
    if (code == ErrNone)
        code = Run();
    if (code != ErrNone && Driver.EventLogEnabled())
        Driver.WriteEvent(TEventLevel::Error,
                          EventText(settingstexts::EventServiceFailed, {Action}) +
                              WideToUtf8(GetErrorDescription(code, Text)),
                          code);
    return code;
}

} // namespace

LONG TDriverFRServices::ChangeBaudrate(LONG Baud, WString& Text) {
    return Service(FDriver, settingstexts::ChangeBaudButton, Text,
                   [&] { return FDriver.ChangeBaudrate(Baud, Text); });
}

LONG TDriverFRServices::SetDateTime(DATE DateTime, WString& Text) {
    return Service(FDriver, settingstexts::DateTimeButton, Text,
                   [&] { return FDriver.DoSetDateTime(DateTime, Text); });
}

LONG TDriverFRServices::ReadPrinterInfo(std::array<std::string, 7>& Texts, WString& Text) {
    Texts.fill(Utf8ToAnsi(fiscaltexts::NotDetermined));
    return Service(FDriver, settingstexts::PrinterInfoButton, Text,
                   [&] { return FDriver.TranslateError(FDriver.ReadPrinterInfo(Texts), Text); });
}

LONG TDriverFRServices::PrintXReport(WString& Text) {
    return Service(FDriver, settingstexts::XReportButton, Text,
                   [&] { return FDriver.TranslateError(FDriver.PrintXReportNow(), Text); });
}

LONG TDriverFRServices::CloseShift(WString& Text) {
    return Service(FDriver, settingstexts::CloseDayButton, Text,
                   [&] { return FDriver.TranslateError(FDriver.CloseShift(), Text); });
}

LONG TDriverFRServices::WriteDocParams(LONG Word1, LONG Word2, WString& Text) {
    return Service(FDriver, settingstexts::DocSettingsButton, Text,
                   [&] { return FDriver.TranslateError(FDriver.WriteDocParams(Word1, Word2), Text); });
}

LONG TDriverFRServices::ProgramHeader(const std::string& Lines, WString& Text) {
    return Service(FDriver, settingstexts::HeaderFooterButton, Text,
                   [&] { return FDriver.TranslateError(FDriver.ProgramHeader(Lines), Text); });
}

LONG TDriverFRServices::ProgramTail(const std::string& Lines, WString& Text) {
    return Service(FDriver, settingstexts::HeaderFooterButton, Text,
                   [&] { return FDriver.TranslateError(FDriver.ProgramTail(Lines), Text); });
}

LONG TDriverFRServices::ProgramPayment(LONG Number, const std::string& Name, WString& Text) {
    return Service(FDriver, settingstexts::PaymentsButton, Text,
                   [&] { return FDriver.TranslateError(FDriver.ProgramPayment(Number, Name), Text); });
}

LONG TDriverFRServices::ProgramTax(LONG Group, const std::string& Name, CY Rate, CY Second, LONG Flag,
                                   WString& Text) {
    return Service(FDriver, settingstexts::TaxesButton, Text, [&] {
        return FDriver.TranslateError(FDriver.ProgramTax(Group, Name, Rate, Second, Flag), Text);
    });
}
