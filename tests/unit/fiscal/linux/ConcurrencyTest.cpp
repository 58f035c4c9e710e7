// Several driver objects at work at once, each on its own thread with its own printer (its own
// copy of the printer library, as a library instance has one connection), all tracing into the
// same day's log and sharing the process's template store: every printer holds exactly its own
// receipts and documents, and no log line is torn or mixed with another. Built with
// ThreadSanitizer too (tools/tsan.sh).
#include "fiscal/ReceiptTestSupport.h"
#include "templates/TemplateTestSupport.h"

#include <regex>
#include <thread>

namespace {

using namespace fiscaltest;

constexpr int Drivers = 4;
constexpr int Rounds = 6;
// Every driver uploads its own template and, each round, replaces the one they all share.
constexpr LONG OwnTemplate = 400, SharedTemplate = 499;

Variant SettingsFor(int port) {
    VariantArray2D table(2, 2);
    table.Set(0, 0, Variant(W("PortNumber")));
    table.Set(1, 0, Variant(static_cast<LONG>(port)));
    table.Set(0, 1, Variant(W("DebugLogEnabled")));
    table.Set(1, 1, Variant(true));
    return MakeVariantArray({table.Release()});
}

// What driver `d` prints in round `r`, findable on its paper: "D1R3".
// (Appended rather than "D" + ...: GCC 12 at -O3 warns falsely of overlapping copies there.)
std::string Mark(int d, int r) {
    return std::string("D").append(std::to_string(d)).append("R").append(std::to_string(r));
}

Variant Layout(const char* label) {
    return tpltest::OneBlock(tpltest::TBlock{1, 1, false, {{false, 20, 0, 0, 0, {{"Item", 0, "", true, label}}}}});
}

Variant TemplateDocument(LONG number, const std::string& mark) {
    return MakeVariantArray({tpltest::Params({{"S", {{"Item", Str(mark.c_str())}}}}), Variant(number), Variant(0)});
}

struct TDone {
    int Receipts = 0, Documents = 0, Counters = 0;
};

void Work(IDispatch* d, int i, TDone& done) {
    if (!Command(d, idEnable).Ok)
        return;
    const LONG own = OwnTemplate + i;
    if (!Command(d, idUploadTemplate, MakeVariantArray({Variant(own), Str("свой"), Layout("Свой ")})).Ok)
        return;
    for (int r = 0; r < Rounds; ++r) {
        const std::string mark = Mark(i, r);
        done.Receipts += Command(d, idPrintReceipt,
                                 Receipt(Table({Item(mark.c_str(), 10 + r, 1)}), Table({Payment(0, 10 + r)}), Params()))
                             .Ok;
        Command(d, idUploadTemplate, MakeVariantArray({Variant(SharedTemplate), Str(mark.c_str()), Layout("Общий ")}));
        done.Documents += Command(d, idPrintTemplateDocument, TemplateDocument(r % 2 ? own : SharedTemplate, mark)).Ok;
        done.Counters += Command(d, idGetCountersInfo).Ok;
    }
    Command(d, idDisable);
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

    TDone done[Drivers];
    std::vector<std::thread> threads;
    for (int i = 0; i < Drivers; ++i)
        threads.emplace_back([&, i] { Work(drivers[i].Get(), i, done[i]); });
    for (std::thread& t : threads)
        t.join();

    for (int i = 0; i < Drivers; ++i) {
        const std::string port = "COM" + std::to_string(i + 1);
        EXPECT_EQ(done[i].Receipts, Rounds) << port;
        EXPECT_EQ(done[i].Documents, Rounds) << port;
        EXPECT_EQ(done[i].Counters, Rounds) << port;
        // Its own marks, each once on the receipt and once in the document, and nobody else's.
        const std::string paper = dir.Read(port, "paper.txt");
        for (int r = 0; r < Rounds; ++r)
            EXPECT_EQ(azimuth::test::Count(paper, Mark(i, r)), 2u) << port << " " << Mark(i, r) << "\n" << paper;
        EXPECT_EQ(azimuth::test::Count(paper, "Свой "), Rounds / 2u) << port;
        EXPECT_EQ(azimuth::test::Count(paper, "Общий "), Rounds - Rounds / 2u) << port;
        for (int j = 0; j < Drivers; ++j) {
            if (j != i) {
                EXPECT_EQ(azimuth::test::Count(paper, std::string("D").append(std::to_string(j)).append("R")), 0u) << port << " has driver " << j;
            }
        }
        const json memory = json::parse(dir.Read(port, "fiscal.json"));
        EXPECT_EQ(memory["shift"]["saleReceipts"].get<int>(), Rounds) << port;
        EXPECT_TRUE(memory["document"].is_null()) << port;
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

TEST(Concurrency, TwoThreadsOnOneObjectLookUpAndCallSafely) {
    // The apartment rule forbids it, but a host that breaks it must get answers, not a crash:
    // both threads add spellings to the object's remembered names while the other reads them,
    // and call with two and three arguments, taking the kept argument array in turn.
    ComPtr<TTestDriverFR> driver = TTestDriverFR::Create();
    const auto hammer = [&](int offset) {
        int answered = 0;
        for (int i = 0; i < 400; ++i) {
            WString name = W("GetDateTime");
            for (std::size_t c = 0; c < name.size(); ++c)
                if (((i + offset) >> (c % 8)) & 1)
                    name[c] = static_cast<WCHAR>(name[c] ^ 0x20);
            LPOLESTR names[] = {name.data()};
            DISPID id = DISPID_UNKNOWN;
            driver->GetIDsOfNames(IID_NULL, names, 1, 0, &id);
            Variant outData;
            std::vector<VARIANT> args{ByVal(Variant()), ByRef(outData), ByVal(Variant(0))};
            if (i % 2)
                args.pop_back();
            const THostCall call = Call(driver.Get(), id, args);
            answered += id == idGetDateTime && call.Hr == (i % 2 ? E_INVALIDARG : S_OK);
        }
        return answered;
    };
    int answered[2] = {};
    std::thread other([&] { answered[1] = hammer(128); });
    answered[0] = hammer(0);
    other.join();
    EXPECT_EQ(answered[0], 400);
    EXPECT_EQ(answered[1], 400);
}

} // namespace
