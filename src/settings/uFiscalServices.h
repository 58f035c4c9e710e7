// The printer operations the settings pages and dialogs run, as one narrow seam: the pages are
// written and tested against it, and TDriverFRServices carries it out on the driver.
#pragma once

#include "framework/uCommonUtils.h"

#include <array>
#include <string>

class TDriverFR;

// Each operation answers a driver code (0 = success); on failure Text may describe it (empty:
// the code's standard message applies). Texts of names are ANSI.
class IFiscalServices {
public:
    virtual ~IFiscalServices() = default;
    virtual LONG ChangeBaudrate(LONG Baud, WString& Text) = 0;
    virtual LONG SetDateTime(DATE DateTime, WString& Text) = 0;
    // The seven identity texts, each "Не определено" until read.
    virtual LONG ReadPrinterInfo(std::array<std::string, 7>& Texts, WString& Text) = 0;
    virtual LONG PrintXReport(WString& Text) = 0;
    virtual LONG CloseShift(WString& Text) = 0;
    virtual LONG WriteDocParams(LONG Word1, LONG Word2, WString& Text) = 0;
    virtual LONG ProgramHeader(const std::string& Lines, WString& Text) = 0;
    virtual LONG ProgramTail(const std::string& Lines, WString& Text) = 0;
    virtual LONG ProgramPayment(LONG Number, const std::string& Name, WString& Text) = 0;
    virtual LONG ProgramTax(LONG Group, const std::string& Name, CY Rate, CY Second, LONG Flag, WString& Text) = 0;
};

// The operations on the Orvel27 driver. Library codes are translated; a call that finds no
// library loaded answers the driver's own 1006, and one that finds the printer not connected
// 1008, each with that code's own message.
class TDriverFRServices final : public IFiscalServices {
public:
    explicit TDriverFRServices(TDriverFR& Driver) : FDriver(Driver) {}

    LONG ChangeBaudrate(LONG Baud, WString& Text) override;
    LONG SetDateTime(DATE DateTime, WString& Text) override;
    LONG ReadPrinterInfo(std::array<std::string, 7>& Texts, WString& Text) override;
    LONG PrintXReport(WString& Text) override;
    LONG CloseShift(WString& Text) override;
    LONG WriteDocParams(LONG Word1, LONG Word2, WString& Text) override;
    LONG ProgramHeader(const std::string& Lines, WString& Text) override;
    LONG ProgramTail(const std::string& Lines, WString& Text) override;
    LONG ProgramPayment(LONG Number, const std::string& Name, WString& Text) override;
    LONG ProgramTax(LONG Group, const std::string& Name, CY Rate, CY Second, LONG Flag, WString& Text) override;

private:
    TDriverFR& FDriver;
};
