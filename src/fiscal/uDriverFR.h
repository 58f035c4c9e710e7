// TDriverFR: the Orvel27 fiscal printer driver, the one creatable class. It loads the printer's
// protocol library from its own folder, connects to the printer at Enable, guards every printer
// operation, translates the library's codes into the driver's, and keeps the name tables that
// map the host's payment, department and tax numbers to the names the printer shows.
#pragma once

#include "fiscal/uAzimuthLib.h"
#include "fiscal/uBaseFR.h"
#include "fiscal/uReceiptTables.h"

#include <array>
#include <functional>
#include <string>
#include <vector>

// A list of "key=value" lines, looked up by key.
class TNameList {
public:
    // Text with ";" between entries.
    void Assign(const std::string& Text);
    std::size_t Count() const noexcept { return FLines.size(); }
    const std::vector<std::string>& Lines() const noexcept { return FLines; }
    // The value of the first line whose key equals Key (letter case ignored); empty when none.
    std::string Value(const std::string& Key) const;
    // Replaces the value of the first line with that key, or adds a line.
    void SetValue(const std::string& Key, const std::string& Value);
    // The name of a number: the value under the number written in decimal.
    std::string Name(LONG Number) const { return Value(std::to_string(Number)); }
    void Clear() noexcept { FLines.clear(); }

private:
    std::vector<std::string> FLines; // ANSI
};

// The module-wide date and time formats, set by every driver object it constructs.
struct TFormatSettings {
    std::string ShortDateFormat;
    char DateSeparator = '/';
    std::string TimeFormat;
    char TimeSeparator = ':';
};
const TFormatSettings& ModuleFormatSettings();

class TDriverFR : public TBaseFR {
public:
    static constexpr LONG NormalTimeout = 7000;
    static constexpr LONG LongTimeout = 20000;
    // Codes the driver sets itself in place of a library code before translating.
    static constexpr LONG LibTaxRateNotSet = 3502;

    // Guards run first by every printer operation.
    LONG CheckReady();
    LONG CheckShift(WString& Text);
    // The driver code of a library code; Text gets the description.
    LONG TranslateError(LONG Code, WString& Text);
    void SetTimeout(LONG Ms);

    // Service calls of the settings page; the codes are the library's unless said otherwise.
    LONG ChangeBaudrate(LONG Baud, WString& Text);           // translated; 1006 without a library
    LONG ReadPrinterInfo(std::array<std::string, 7>& Texts); // ANSI texts, each "Не определено" until read
    LONG SendRaw(const std::string& Bytes);                  // 0, or 1007 when not all was written
    LONG ProgramPayment(LONG Number, const std::string& Name);
    LONG ProgramTax(LONG Group, const std::string& Name, CY Rate, CY Second, LONG Flag);
    LONG PrintXReportNow();
    LONG CloseShift();                           // the Z report; advances ShiftCounter
    LONG WriteDocParams(LONG Word1, LONG Word2); // the code of SetParamDoc

    // Shows the settings dialog for a driver, modal; true when the user closed it with OK. The
    // dialogs live in a layer above this one, which installs them (the server does, for the
    // driver it creates); with none installed the host is told the dialog was cancelled.
    using TSettingsDialog = bool (*)(TDriverFR& Driver);
    static void SetSettingsDialog(TSettingsDialog Show) noexcept;

    LONG PrepareDriver();
    LONG ConnectPrinter(WString& Text);
    void DisconnectPrinter();
    void UnloadLibrary();
    void BuildNameLists();

    LONG DoOpenDay(const std::string& Arg0, const std::string& Arg1, TFiscalDocResult& Result,
                   WString& Text) override;
    LONG DoGetFPStateInfo(TFPStateInfo& States, WString& Text) override;
    LONG DoPrintXReport(TFiscalDocResult& Result, WString& Text) override;
    LONG DoPrintZReport(TFiscalDocResult& Result, WString& Text) override;
    LONG DoEncash(LONG EncashKind, CY Amount, TFiscalDocResult& Result, WString& Text) override;
    LONG DoOpenDrawer(WString& Text) override;
    LONG DoGetLastDocInfo(TFiscalDocResult& Result, LONG& DocKind, CY& Amount, WString& Text) override;
    LONG DoGetCountersInfo(Variant& Counters1, Variant& Counters2, WString& Text) override;
    LONG DoGetDateTime(DATE& DateTime, WString& Text) override;
    LONG DoSetDateTime(DATE DateTime, WString& Text) override;

    // Receipts, text documents and receipt copies.
    LONG DoPrintReceipt(const Variant& Goods, const Variant& Payments, const Variant& ReceiptParams,
                        TFiscalDocResult& Result, WString& Text) override;
    LONG DoPrintText(const std::string& TextToPrint, WString& Text) override;
    // One non-fiscal document: the text, a dashed line and the centred footer when there is one,
    // and the header before it or as a document of its own after it. ANSI texts.
    LONG PrintNonFiscalText(std::string Document, const std::string& Footer, const std::string& Header,
                            WString& Text);
    // The framed block of HeaderText that opens a receipt copy.
    std::string BuildHeaderBlock() const;
    // The four header and tail lines stored in the printer; library codes, 1006 without a library.
    LONG ProgramHeader(const std::string& Text);
    LONG ProgramTail(const std::string& Text);

    bool LibraryLoaded() const noexcept { return FLibrary != nullptr; }
    LONG LastTimeout() const noexcept { return FLastTimeout; }
    LONG ShiftCounter() const noexcept { return FShiftCounter; }
    const std::string& SerialNumber() const noexcept { return FSerialNumber; }
    const TNameList& DepartmentNames() const noexcept { return FDepartmentNames; }
    const TNameList& PaymentNames() const noexcept { return FPaymentNames; }
    const TNameList& TaxNames() const noexcept { return FTaxNames; }
    LONG RowWidth() const noexcept { return FRowWidth; }

protected:
    void RegisterParams() override;
    void FillDeviceInfo() override;
    void AfterInitialize() override;
    LONG DoOpen(WString& Text) override;
    void DoClose() override;
    LONG DoEnable(WString& Text) override;
    LONG DoDisable(WString& Text) override;
    void BeforeDestroy() override;
    bool DoShowSettingsDlg() override;
    bool DoParamIsSecret(std::string_view Name) const override;
    std::string DoFailureAftermath(std::string_view Name, LONG Code) override;

    // Events of the printer: a text with "%s" for the translated answer of a library code.
    void NoteLibraryEvent(TEventLevel Level, const char* Pattern, LONG LibCode) noexcept;
    // A document the guard cancelled after a failure, and the cancel's library code.
    void NoteDocumentCancelled(bool Receipt, LONG LibCode) noexcept;
    // A document found open at the start of a new one, and the cancel's library code.
    void NoteLeftOpenCancelled(LONG LibCode) noexcept;

    // The folder the library is loaded from (with a trailing delimiter): the driver's own.
    virtual std::string LibraryFolder() const;
    // The shared entry points, for an object whose library is loaded.
    // The library this object loaded; another object may have loaded another file.
    virtual TAzimuthEntries Lib() const { return FLibrary ? AzimuthEntries(FLibrary) : AzimuthEntries(); }
    LONG PrintFiscalReceipt(const Variant& Goods, const Variant& Payments, const TReceiptParams& Params,
                            WString& Text);
    LONG BeginReceipt(const TAzimuthEntries& Lib, const TReceiptParams& Params, WString& Text);
    LONG AddReceiptItem(const TAzimuthEntries& Lib, const TReceiptItem& Item, WString& Text);
    LONG FinishReceipt(const TAzimuthEntries& Lib, const TReceiptTable& Payments, const TReceiptParams& Params,
                       WString& Text);
    LONG PrintReceiptCopy(const Variant& Goods, const Variant& Payments, const TReceiptParams& Params,
                          WString& Text);
    // Reads the document numbers of the last document into Result.
    void ReadDocNumbers(TFiscalDocResult& Result);
    // A document the printer makes on one request, after the guard that answered Ready: the
    // document's time, the request's translated answer and, on success, the document numbers.
    LONG PrintDocument(LONG Ready, TFiscalDocResult& Result, WString& Text,
                       const std::function<LONG()>& Print);

    HMODULE FLibrary = nullptr;
    LONG FLastTimeout = 0;
    LONG FShiftCounter = -1;
    std::string FSerialNumber; // ANSI, at most 255 characters
    TNameList FDepartmentNames;
    TNameList FPaymentNames;
    TNameList FTaxNames;
    LONG FRowWidth = 40;
    // A cancel after a failure was refused: a document may still be open on the printer.
    bool FDocumentLeftOpen = false;
};
