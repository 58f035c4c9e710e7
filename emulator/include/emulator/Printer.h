// One virtual fiscal printer: the printer on one port, with its settings, fiscal memory, open
// document and tape. Every command either changes nothing and answers a code, or saves the new
// fiscal memory atomically and then prints; a failed save changes nothing.
#pragma once

#include "emulator/Answer.h"
#include "emulator/Codes.h"
#include "emulator/Config.h"
#include "emulator/FiscalMemory.h"
#include "emulator/Paper.h"

#include <array>
#include <filesystem>
#include <string>
#include <string_view>

namespace azimuth {

enum ShiftStateCode : int { kStateClosed = 0, kStateExpired = 1, kStateOpen = 2 };

class Printer {
public:
    // Reads the port's settings and fiscal memory; StateError when a file is damaged.
    Printer(std::filesystem::path folder, std::string port);

    const std::string& Port() const { return port_; }
    const std::filesystem::path& Folder() const { return folder_; }
    const PrinterConfig& Config() const { return config_; }
    const FiscalMemory& Memory() const { return memory_; }
    PrinterTime Now() const { return config_.clock.Now(); }
    bool DocumentOpen() const { return memory_.document.has_value(); }

    // Exchange session (StartSeans); it ends with the connection and with the Z report.
    Code StartSession();
    void EndSession() { session_ = false; }
    void SetOperator(std::string name) { operator_ = std::move(name); }

    ShiftStateCode ShiftState() const;
    Code ShiftOpen();
    Code XReport();
    Code ShiftClose();

    Code StartReceipt(int kind);
    Code AddItem(std::string name, std::string code, std::string unit, std::string department, std::int32_t price,
                 std::int32_t quantity);
    Code Comment(std::string_view text);
    Code Adjust(bool discount, int mode, std::int32_t value, std::string_view text);
    Code Tax(int group);
    Code Total();
    Code SubTotal(Answer& answer);
    Code Pay(int type, std::int32_t amount, std::string text, Answer& answer);
    Code CloseReceipt();
    Code CancelReceipt();

    Code OpenText();
    Code PrintText(std::string_view text);
    Code SelectFont(int font);
    Code CloseText();
    // Raw bytes to the printer: ESC 'i' and ESC 'm' cut the tape, the rest has no visible effect.
    void WriteRaw(std::string_view bytes);

    Code CashIn(std::int32_t amount);
    Code CashOut(std::int32_t amount);
    Code OpenDrawer();
    Code SetDrawerAuto(std::int32_t mode);
    Code SetDrawerParam(std::int32_t a, std::int32_t b, std::int32_t c);

    Code SetHeader(const std::array<std::string, 4>& lines);
    Code SetTail(const std::array<std::string, 4>& lines);
    Code SetPayment(int number, std::string name);
    Code SetTax(int group, std::string name, std::string_view rate);
    Code SetParamDoc(std::uint16_t word1, std::uint16_t word2);
    Code SetDate();
    Code ChangeBaudrate(std::string_view rate);

    Code Resource(Answer& answer) const;
    Code Numbers(Answer& answer) const;
    Code Money(Answer& answer) const;
    Code EReport(int kind, int type, Answer& answer) const;
    Code Counters(Answer& answer) const;
    Code ParamDoc(Answer& answer) const;
    Code FiscalNums(Answer& answer) const;
    Code SerialNum(Answer& answer) const;
    Code Date(Answer& answer) const;
    Code Taxes(int group, Answer& answer) const;
    Code Payment(int number, Answer& answer) const;
    Code Status(bool paperOut, Answer& answer) const;

private:
    bool Doc1(std::uint16_t bit) const { return (config_.paramDoc1 & bit) != 0; }
    bool Doc2(std::uint16_t bit) const { return (config_.paramDoc2 & bit) != 0; }
    bool Expired(const FiscalMemory& m) const;
    // Opens the shift when a document may do so; refuses when the shift does not allow it.
    Code ShiftForDocument(FiscalMemory& next, bool fiscal, Lines& lines) const;
    void OpenShift(FiscalMemory& next, Lines& lines) const;
    Code ReceiptStep(Receipt*& receipt, FiscalMemory& next) const;
    int PaymentStatus(const Receipt& receipt) const;
    void NumberDocument(FiscalMemory& next) const;

    // Saves and then prints; kStorageFailed leaves everything as it was.
    Code Commit(FiscalMemory next, const Lines& lines);
    Code Configure(PrinterConfig next);
    Code SetLines(std::array<std::string, 4> PrinterConfig::*field, const std::array<std::string, 4>& lines);

    // Pieces of the printed documents.
    void Header(Lines& lines) const;
    void Opening(Lines& lines) const;
    void Closing(Lines& lines, const FiscalMemory& next) const;
    void Report(Lines& lines, const FiscalMemory& m, bool z) const;
    void CashDocument(Lines& lines, const FiscalMemory& next, const char* label, std::int32_t amount) const;

    std::filesystem::path folder_;
    std::string port_;
    PrinterConfig config_;
    FiscalMemory memory_;
    bool session_ = false;
    std::string operator_;
};

} // namespace azimuth
