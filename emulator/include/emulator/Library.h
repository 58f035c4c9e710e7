// One instance of the printer library: the connection to one port's printer at a time, the
// answer of the last query, the code of the last call, the faults of the connected port and the
// journal. The exported entry points are a thin layer over this class and serialize all calls.
#pragma once

#include "emulator/Answer.h"
#include "emulator/Codes.h"
#include "emulator/Faults.h"
#include "emulator/Journal.h"
#include "emulator/Printer.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace azimuth {

class Library {
public:
    // Connects to the printer of a port; drops an earlier connection first. The state directory
    // and the port's faults are read anew on every connect.
    Code Open(std::string_view fn, std::string cashier, std::string_view password, std::string_view port,
              std::string_view baud, bool checkPassword);
    Code Close();
    bool Connected() const { return printer_ != nullptr; }
    Printer* Device() { return printer_.get(); }

    // An exchange with the printer: answers kNotConnected, the silent printer, a fault rule or
    // paper out before the printer is asked.
    template <class Body>
    Code Command(std::string_view fn, bool prints, Body&& body) {
        if (!printer_)
            return Finish(kNotConnected);
        const FaultRule* rule = faults_.Hit(fn);
        if (faults_.silent)
            return Finish(kNoAnswer);
        if (rule && !rule->after)
            return Finish(static_cast<Code>(rule->code));
        if (prints && faults_.paperOut)
            return Finish(kPaperOut);
        Code code = body(*printer_);
        if (rule)
            code = static_cast<Code>(rule->code);
        return Finish(code);
    }

    // A report: the printer prints it for longer than any other command. When the library's
    // time-out is shorter than the printer needs (config.json), the library stops waiting and
    // answers 194 while the printer goes on: the report is printed, its answer is lost.
    template <class Body>
    Code Report(std::string_view fn, Body&& body) {
        return Command(fn, true, [&](Printer& printer) {
            const Code code = body(printer);
            return code == kOk && readTimeoutMs_ < printer.Config().reportTimeoutMs ? kNoAnswer : code;
        });
    }

    // A command that leaves an answer; a failed one leaves no answer at all.
    template <class Body>
    Code Query(std::string_view fn, bool prints, Body&& body) {
        answer_ = Answer{};
        Code code = Command(fn, prints, [&](Printer& printer) { return body(printer, answer_); });
        if (code != kOk)
            answer_ = Answer{};
        return code;
    }

    // A call the library answers itself.
    Code Finish(Code code) {
        lastCode_ = code;
        return code;
    }

    const Answer& LastAnswer() const { return answer_; }
    Code LastCode() const { return lastCode_; }
    bool PaperOut() const { return faults_.paperOut; }

    // The library's own version as an answer: text 5, numbers 6 to 8.
    Code Version();

    // The time-out for the printer's answers. Nothing waits for it: it only decides whether a
    // report's answer arrives in time (Report). It belongs to the library, not to one connection.
    Code SetTimeouts(std::int32_t readMs, std::int32_t writeMs);
    std::int32_t ReadTimeoutMs() const { return readTimeoutMs_; }

    // What the library waits for an answer until told otherwise: enough for any command but a report.
    static constexpr std::int32_t kDefaultTimeoutMs = 5000;

    // Journals a call in the folder of the port last named by a connect (the state directory
    // before any).
    void Record(std::string_view fn, const std::vector<JournalValue>& args, const JournalValue& rc);

private:
    std::unique_ptr<Printer> printer_;
    Faults faults_;
    Answer answer_;
    Code lastCode_ = kOk;
    std::int32_t readTimeoutMs_ = kDefaultTimeoutMs;
    std::optional<std::string> journalPort_; // the folder is found anew: the state directory may move
    std::string detail_; // why the last connect found the state damaged
};

} // namespace azimuth
