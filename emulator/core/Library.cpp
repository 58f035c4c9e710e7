#include "emulator/Library.h"

#include "emulator/EntryPoints.h"
#include "emulator/Money.h"
#include "emulator/StateFiles.h"

namespace azimuth {

namespace {

bool TalksToPrinter(std::string_view fn) {
    const EntryPoint* entry = FindEntryPoint(fn);
    return entry && entry->reach == Reach::Printer;
}

} // namespace

Code Library::Open(std::string_view fn, std::string cashier, std::string_view password, std::string_view port,
                   std::string_view baud, bool checkPassword) {
    Close();
    detail_.clear();
    auto name = NormalizePort(port);
    journalPort_ = name;
    if (!name)
        return Finish(kNoPrinter);
    const auto folder = PortFolder(StateRoot(), *name);
    try {
        faults_ = Faults::Load(folder, TalksToPrinter);
        const FaultRule* rule = faults_.Hit(fn);
        if (faults_.silent)
            return Finish(kNoAnswer);
        if (rule && !rule->after)
            return Finish(static_cast<Code>(rule->code));
        auto printer = std::make_unique<Printer>(folder, *name);
        const PrinterConfig& config = printer->Config();
        const auto rate = ParseUnsigned(baud);
        Code code = kOk;
        if (!config.connected)
            code = kNoPrinter;
        else if (!rate)
            code = kBadArgument;
        else if (*rate != config.baudRate)
            code = kNoAnswer; // at another speed the printer hears only noise
        else if (checkPassword && password != config.password)
            code = kWrongPassword;
        if (code == kOk) {
            printer->SetOperator(std::move(cashier));
            printer_ = std::move(printer);
        }
        if (rule)
            code = static_cast<Code>(rule->code);
        return Finish(code);
    } catch (const StateError& e) {
        detail_ = e.what();
        return Finish(kDamagedState);
    }
}

Code Library::Close() {
    printer_.reset();
    faults_ = Faults{};
    answer_ = Answer{};
    return Finish(kOk);
}

Code Library::Version() {
    answer_ = Answer{};
    answer_.SetText(5, "1.0.0");
    answer_.SetInt(6, 1);
    answer_.SetInt(7, 0);
    answer_.SetInt(8, 0);
    return Finish(kOk);
}

Code Library::SetTimeouts(std::int32_t readMs, std::int32_t writeMs) {
    if (readMs < 0 || writeMs < 0)
        return Finish(kBadArgument);
    readTimeoutMs_ = readMs;
    return Finish(kOk);
}

void Library::Record(std::string_view fn, const std::vector<JournalValue>& args, const JournalValue& rc) {
    std::filesystem::path folder;
    try {
        folder = journalPort_ ? PortFolder(StateRoot(), *journalPort_) : StateRoot();
    } catch (...) {
        return;
    }
    AppendJournal(folder, fn, args, rc, detail_);
    detail_.clear();
}

} // namespace azimuth
