// Several driver objects at work at once, each on its own thread with its own printer (its own
// copy of the printer library, as a library instance has one connection), all tracing into the
// same day's log: every document is printed and no log line is torn or mixed with another.
#include "fiscal/FiscalTestSupport.h"

#include <regex>
#include <thread>

namespace {

using namespace fiscaltest;

constexpr int Drivers = 4;
constexpr int Rounds = 10;

Variant SettingsFor(int port) {
    VariantArray2D table(2, 2);
    table.Set(0, 0, Variant(W("PortNumber")));
    table.Set(1, 0, Variant(static_cast<LONG>(port)));
    table.Set(0, 1, Variant(W("DebugLogEnabled")));
    table.Set(1, 1, Variant(true));
    return MakeVariantArray({table.Release()});
}

TEST(Concurrency, DriversOnTheirOwnPrintersPrintAtOnceAndTraceWholeLinesIntoOneLog) {
    StateDir dir;
    TTempFolder work;
    TFakeEquipmentManager manager;
    manager.Answers["DevicesFolder"] = work.Path.string() + "/";
    std::filesystem::create_directories(work.Path / "1");
    ComPtr<TTestDriverFR> drivers[Drivers];
    for (int i = 0; i < Drivers; ++i) {
        const std::filesystem::path folder = work.Path / ("lib" + std::to_string(i));
        std::filesystem::create_directories(folder);
        std::filesystem::copy_file(platform::ModuleFolder(nullptr) + "libazimuth.so", folder / "libazimuth.so");
        dir.Write("COM" + std::to_string(i + 1), "config.json", "{}");
        drivers[i] = TTestDriverFR::Create();
        drivers[i]->Folder = FolderOf(folder);
        // The host's equipment manager is called from the host's thread: Init and Open here.
        ASSERT_TRUE(Init(drivers[i].Get(), &manager).Ok());
        ASSERT_TRUE(Open(drivers[i].Get(), "1").Ok());
        ASSERT_TRUE(Command(drivers[i].Get(), idSetSettings, SettingsFor(i + 1)).Ok);
    }

    int printed[Drivers] = {};
    std::vector<std::thread> threads;
    for (int i = 0; i < Drivers; ++i)
        threads.emplace_back([&, i] {
            IDispatch* d = drivers[i].Get();
            if (!Command(d, idEnable).Ok)
                return;
            for (int r = 0; r < Rounds; ++r) {
                printed[i] += Command(d, idPrintXReport).Ok;
                Command(d, idGetCountersInfo);
            }
            Command(d, idDisable);
        });
    for (std::thread& t : threads)
        t.join();

    for (int i = 0; i < Drivers; ++i) {
        EXPECT_EQ(printed[i], Rounds) << "driver " << i;
        EXPECT_EQ(azimuth::test::Count(dir.Read("COM" + std::to_string(i + 1), "paper.txt"), "X-ОТЧЕТ"), 0u + Rounds) << "driver " << i;
    }
    std::string log;
    for (const auto& entry : std::filesystem::directory_iterator(work.Path / "1"))
        log += ReadFile(entry.path().string());
    ASSERT_FALSE(log.empty());
    // Every line: its time, the instance, a tab, the caption; each line ends in CR LF.
    const std::regex line(R"(\d{4}\.\d\d\.\d\d \d\d:\d\d:\d\d\.\d{3} Inst\.: \{[0-9A-F-]{36}\}\t[^\r\n]*)");
    std::size_t lines = 0, start = 0;
    for (std::size_t end; (end = log.find("\r\n", start)) != std::string::npos; start = end + 2, ++lines) {
        const std::string one = log.substr(start, end - start);
        if (one.find(" Inst.: ") == std::string::npos)
            continue; // the opening block of a device
        EXPECT_TRUE(std::regex_match(one, line)) << one;
        EXPECT_EQ(one.find(" Inst.: ", one.find(" Inst.: ") + 1), std::string::npos) << one;
    }
    EXPECT_EQ(start, log.size()) << "the log ends in the middle of a line";
    EXPECT_GT(lines, static_cast<std::size_t>(Drivers * Rounds * 4));
}

} // namespace
