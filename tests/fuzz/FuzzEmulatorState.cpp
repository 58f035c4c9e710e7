// The virtual printer's own state files as a user or a crash may leave them: config.json,
// fiscal.json and faults.json of arbitrary content. A damaged file must make the connect answer
// 25 with a StateError behind it, never crash, hang or throw anything else; a file that loads
// must give a printer that then works: a receipt, a report and a cash operation run on it
// without a sanitizer report, and the files it writes back load again.
//
// The input holds the three files separated by NUL bytes, in that order; a missing part leaves
// its file absent.
#include "emulator/Library.h"
#include "emulator/Printer.h"
#include "emulator/StateFiles.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

namespace {

const std::filesystem::path& Root() {
    static const std::filesystem::path root = [] {
        char pattern[] = "/tmp/orvel-fuzz-emulator-XXXXXX";
        const char* made = mkdtemp(pattern);
        if (!made)
            std::abort();
        setenv("AZIMUTH_EMU_DIR", made, 1);
        return std::filesystem::path(made);
    }();
    return root;
}

void Place(const std::filesystem::path& file, const std::string_view* content) {
    std::error_code ignored;
    std::filesystem::remove(file, ignored);
    if (!content)
        return;
    std::FILE* f = std::fopen(file.string().c_str(), "wb");
    if (!f)
        std::abort();
    std::fwrite(content->data(), 1, content->size(), f);
    std::fclose(f);
}

// Works the printer the way the driver does during a day.
void Exercise(azimuth::Library& lib) {
    using azimuth::Printer;
    lib.Command("ShiftOpen", true, [](Printer& p) { return p.ShiftOpen(); });
    lib.Command("StartReceipt", true, [](Printer& p) { return p.StartReceipt(0); });
    lib.Command("ItemReceipt", true, [](Printer& p) { return p.AddItem("BREAD", "", "", "", 4550, 2000); });
    lib.Command("TaxReceipt", true, [](Printer& p) { return p.Tax(1); });
    lib.Command("TotalReceipt", true, [](Printer& p) { return p.Total(); });
    lib.Query("TenderReceipt", true, [](Printer& p, azimuth::Answer& a) { return p.Pay(0, 10000, "", a); });
    lib.Command("CloseReceipt", true, [](Printer& p) { return p.CloseReceipt(); });
    lib.Command("CancelReceipt", false, [](Printer& p) { return p.CancelReceipt(); });
    lib.Command("ToCash", true, [](Printer& p) { return p.CashIn(100); });
    lib.Query("GetMony", false, [](Printer& p, azimuth::Answer& a) { return p.Money(a); });
    lib.Query("GetCounters", false, [](Printer& p, azimuth::Answer& a) { return p.Counters(a); });
    lib.Command("XReport", true, [](Printer& p) { return p.XReport(); });
    lib.Command("ShiftClose", true, [](Printer& p) { return p.ShiftClose(); });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 16384)
        return 0;
    const std::filesystem::path folder = azimuth::PortFolder(Root(), "COM1");
    std::filesystem::create_directories(folder);

    std::string_view rest(reinterpret_cast<const char*>(data), size);
    std::string_view parts[3];
    const std::string_view* present[3] = {};
    for (int i = 0; i < 3 && (i == 0 || rest.data() != nullptr); ++i) {
        const std::size_t end = rest.find('\0');
        parts[i] = rest.substr(0, end);
        present[i] = &parts[i];
        if (end == std::string_view::npos)
            break;
        rest = rest.substr(end + 1);
    }
    Place(folder / azimuth::files::kConfig, present[0]);
    Place(folder / azimuth::files::kMemory, present[1]);
    Place(folder / azimuth::files::kFaults, present[2]);
    Place(folder / azimuth::files::kPaper, nullptr);
    Place(folder / azimuth::files::kJournal, nullptr);

    azimuth::Library lib;
    const azimuth::Code code = lib.Open("OpenDLLPlus", "CASHIER", "QWTZ", "COM1", "19200", true);
    if (code == azimuth::kOk) {
        Exercise(lib);
        lib.Close();
        // What the printer wrote back must read again.
        try {
            azimuth::LoadConfig(folder, "COM1");
            azimuth::LoadMemory(folder);
        } catch (const azimuth::StateError& e) {
            std::fprintf(stderr, "the printer wrote a state it cannot read: %s\n", e.what());
            std::abort();
        }
    }
    return 0;
}
