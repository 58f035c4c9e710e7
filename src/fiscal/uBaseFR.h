// TBaseFR: the fiscal-register layer. It gives the host the eighteen commands of a fiscal
// register and the printing parameters every fiscal register has; its handlers only unpack the
// host's input, call the overridable operation and pack the results. Talking to a printer is the
// concrete driver's business: the base operations answer 1003, so a command a driver does not
// implement fails cleanly.
#pragma once

#include "device/uBaseDevice.h"
#include "templates/uTemplateErrors.h"

#include <array>
#include <initializer_list>
#include <string>

// Codes of fiscal registers beyond those of every device.
enum : LONG {
    ErrShiftOver24Hours = 3002,
};

// The result of a fiscal document; -1 is a number the device did not report.
struct TFiscalDocResult {
    LONG Number1 = -1;
    LONG Number2 = -1;
    LONG Number3 = -1;
    DATE DocDateTime = 0;

    // Numbers at -1, the date at the current local date and time.
    static TFiscalDocResult Preset();
    // [Number1, Number2, Number3, DocDateTime]
    Variant ToArray() const;
};

// Type codes of the argument check, one per InData element.
enum TArgType : BYTE {
    atAny = 0,     // anything, a missing element included
    atOrdinal = 1, // an integer type, Boolean or byte
    atNumeric = 2, // ordinal, floating point or currency
    atString = 3,
    atArray = 4,
    atDate = 5, // exactly VT_DATE
};

// True when InData is a one-dimensional array with lower bound 0 whose elements 0..n-1 pass
// their codes; a missing element reads as Empty and passes only atAny.
bool CheckArgs(const Variant& InData, std::initializer_list<TArgType> Types);

using TFPStateInfo = std::array<LONG, 10>;

class TBaseFR : public TBaseDevice {
public:
    bool DoDeviceTest(WString& Text) override;

    // Overridable operations, in the order of their slots. Each answers a code (0 = success)
    // and may describe a failure in Text, which arrives empty.
    virtual LONG DoOpenDay(const std::string& Arg0, const std::string& Arg1, TFiscalDocResult& Result,
                           WString& Text);
    virtual LONG DoPrintReceipt(const Variant& Goods, const Variant& Payments, const Variant& ReceiptParams,
                                TFiscalDocResult& Result, WString& Text);
    virtual LONG DoEncash(LONG EncashKind, CY Amount, TFiscalDocResult& Result, WString& Text);
    virtual LONG DoPrintXReport(TFiscalDocResult& Result, WString& Text);
    virtual LONG DoPrintExtReport(LONG ReportKind, DATE Date1, DATE Date2, LONG Value3, LONG Value4,
                                  LONG Value5, TFiscalDocResult& Result, WString& Text);
    virtual LONG DoPrintZReport(TFiscalDocResult& Result, WString& Text);
    virtual LONG DoPrintTemplateDocument(const Variant& Params, LONG TemplateNumber, LONG Extra,
                                         WString& Text);
    virtual LONG DoGetCountersInfo(Variant& Counters1, Variant& Counters2, WString& Text);
    virtual LONG DoGetLastDocInfo(TFiscalDocResult& Result, LONG& DocKind, CY& Amount, WString& Text);
    virtual LONG DoOpenDrawer(WString& Text);
    virtual LONG DoGetFPStateInfo(TFPStateInfo& States, WString& Text);
    virtual LONG DoGetDateTime(DATE& DateTime, WString& Text);
    virtual LONG DoSetDateTime(DATE DateTime, WString& Text);
    // The text is ANSI, lines separated by CR LF.
    virtual LONG DoPrintText(const std::string& TextToPrint, WString& Text);
    virtual LONG DoUploadTemplate(LONG Number, const std::string& Description, const Variant& Template,
                                  WString& Text);
    virtual LONG DoDownloadTemplate(LONG Number, std::string& Description, Variant& Template, WString& Text);

protected:
    void RegisterMethods() override;
    void RegisterParams() override;
    void FillDeviceInfo() override;

    // One line of a registration table; texts are UTF-8.
    struct TParamEntry {
        const char* Name;
        TParamType Type;
        Variant Default;
        bool ReadOnly;
        const char* Caption;
        const char* Description;
    };
    // Registers the entries in the order given; the host sees the table in this order.
    void AddParams(std::initializer_list<TParamEntry> Entries);

private:
    LONG OpenDayCommand(const Variant& InData, Variant& OutData, LONG Timeout, WString& ErrorText);
    LONG PrintReceiptCommand(const Variant& InData, Variant& OutData, LONG Timeout, WString& ErrorText);
    LONG EncashCommand(const Variant& InData, Variant& OutData, LONG Timeout, WString& ErrorText);
    LONG PrintXReportCommand(const Variant& InData, Variant& OutData, LONG Timeout, WString& ErrorText);
    LONG PrintExtReportCommand(const Variant& InData, Variant& OutData, LONG Timeout, WString& ErrorText);
    LONG PrintZReportCommand(const Variant& InData, Variant& OutData, LONG Timeout, WString& ErrorText);
    LONG PrintTemplateDocumentCommand(const Variant& InData, Variant& OutData, LONG Timeout,
                                      WString& ErrorText);
    LONG GetCountersInfoCommand(const Variant& InData, Variant& OutData, LONG Timeout, WString& ErrorText);
    LONG GetLastDocInfoCommand(const Variant& InData, Variant& OutData, LONG Timeout, WString& ErrorText);
    LONG OpenDrawerCommand(const Variant& InData, Variant& OutData, LONG Timeout, WString& ErrorText);
    LONG GetFPStateInfoCommand(const Variant& InData, Variant& OutData, LONG Timeout, WString& ErrorText);
    LONG GetDateTimeCommand(const Variant& InData, Variant& OutData, LONG Timeout, WString& ErrorText);
    LONG SetDateTimeCommand(const Variant& InData, Variant& OutData, LONG Timeout, WString& ErrorText);
    LONG PrintTextCommand(const Variant& InData, Variant& OutData, LONG Timeout, WString& ErrorText);
    LONG UploadTemplateCommand(const Variant& InData, Variant& OutData, LONG Timeout, WString& ErrorText);
    LONG DownloadTemplateCommand(const Variant& InData, Variant& OutData, LONG Timeout, WString& ErrorText);
    LONG OpenCheckCommand(const Variant& InData, Variant& OutData, LONG Timeout, WString& ErrorText);
    LONG CancelCheckCommand(const Variant& InData, Variant& OutData, LONG Timeout, WString& ErrorText);
};
