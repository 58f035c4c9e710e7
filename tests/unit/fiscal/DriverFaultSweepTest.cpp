// Every document command against a printer that fails at each of its calls in turn: the host gets
// the printer's code and text, no document stays open, and the printer holds either the whole
// document or nothing of it.
#include "FaultSweepSupport.h"
#include "ReceiptTestSupport.h"
#include "templates/TemplateTestSupport.h"

#include <filesystem>
#include <functional>

using namespace fiscaltest;

namespace {

struct Document {
    const char* name;
    bool shiftOpen; // needs an open shift
    std::function<TCommandAnswer(IDispatch*)> run;
    // Reads after the document is made, whose failure does not fail it ("fn" or "fn#call").
    std::vector<std::string> informative = {"GetNumbers"};
    std::function<void(IDispatch*)> prepare = nullptr;
};

class FaultSweepTest : public ReceiptTest {
protected:
    json State() const { return FiscalRecord(Dir); }
    // The faultable calls a command makes after a connect, each with its count since the connect.
    std::vector<TSweptCall> CleanRun(const Document& doc, json& after) {
        const std::size_t connect = Dir.Journal().size();
        EXPECT_TRUE(Command(Disp(), idEnable).Ok);
        const std::size_t start = Dir.Journal().size();
        const TCommandAnswer clean = doc.run(Disp());
        EXPECT_TRUE(clean.Ok) << clean.Text();
        after = State();
        return FaultableCalls(Dir.Journal(), connect, start);
    }
    void Sweep(const Document& doc) {
        SCOPED_TRACE(doc.name);
        Up();
        if (doc.shiftOpen) {
            ASSERT_TRUE(Command(Disp(), idOpenDay).Ok);
        }
        if (doc.prepare)
            doc.prepare(Disp());
        const TPrinterSnapshot saved(Dir);
        const json before = State();
        json after;
        const auto calls = CleanRun(doc, after);
        ASSERT_FALSE(calls.empty());
        ForEachFault(Dir, saved, calls, [&](const TSweptCall& call, const TSweptFault& fault) {
            ASSERT_TRUE(Command(Disp(), idEnable).Ok);
            const TCommandAnswer answer = doc.run(Disp());
            EXPECT_FALSE(DocumentOpen());
            // The whole document when the command succeeds, nothing of it when it fails.
            const json now = State();
            if (Listed(doc.informative, call)) {
                EXPECT_TRUE(answer.Ok) << answer.Text();
                EXPECT_EQ(now, after);
                return;
            }
            EXPECT_FALSE(answer.Ok);
            EXPECT_EQ(now, before);
            EXPECT_EQ(answer.Code(), fault.DriverCode);
            EXPECT_EQ(answer.Text(), fault.Text);
        });
    }
};

Variant Encash(LONG kind, double amount) {
    return MakeVariantArray({Variant(kind), Variant(amount)});
}

} // namespace

TEST_F(FaultSweepTest, ShiftCommands) {
    Sweep({"OpenDay", false, [](IDispatch* d) { return Command(d, idOpenDay); }});
}
TEST_F(FaultSweepTest, XReport) {
    Sweep({"X report", true, [](IDispatch* d) { return Command(d, idPrintXReport); }});
}
TEST_F(FaultSweepTest, ZReport) {
    Sweep({"Z report", true, [](IDispatch* d) { return Command(d, idPrintZReport); },
           {"GetNumbers", "GetParamDoc", "GetResource#2"}});
}
TEST_F(FaultSweepTest, EncashIn) {
    Sweep({"cash in", true, [](IDispatch* d) { return Command(d, idEncash, Encash(1, 150.5)); }});
}
TEST_F(FaultSweepTest, EncashOut) {
    Sweep({"cash out", true, [](IDispatch* d) { return Command(d, idEncash, Encash(0, 0.5)); }, {"GetNumbers"},
           [](IDispatch* d) { ASSERT_TRUE(Command(d, idEncash, Encash(1, 10)).Ok); }});
}
TEST_F(FaultSweepTest, Counters) {
    // The counters of the shift come from two queries; the second only adds to the first.
    Sweep({"counters", true, [](IDispatch* d) { return Command(d, idGetCountersInfo); }, {"GetCounters"}});
}
TEST_F(FaultSweepTest, Text) {
    Sweep({"text", true, [](IDispatch* d) { return Command(d, idPrintText, MakeVariantArray({Str("A\nB")})); },
           {"GetNumbers", "WriteComm"}}); // the cut, after the document closed
}
TEST_F(FaultSweepTest, ReceiptCopy) {
    Sweep({"copy", true, [](IDispatch* d) {
               return Command(d, idPrintReceipt,
                              Receipt(Table({Item("Хлеб", 10, 1)}), Table({Payment(0, 10)}), Params(0, false, 10)));
           },
           {"GetNumbers", "WriteComm"}});
}
TEST_F(FaultSweepTest, TemplateDocument) {
    const tpltest::TBlock line{1, 2, false, {{false, 6, 0, 0, 0, {{"Item", 0}}}, {true, 1, 1, 0, 0, {{"Sum", 1, "NFD=2"}}}}};
    ASSERT_TRUE(Command(Disp(), idUploadTemplate,
                        MakeVariantArray({Variant(7), Str("Счёт"), tpltest::OneBlock(line)}))
                    .Ok);
    const Variant params = tpltest::Params({{"S", {{"Item", Str("Чай")}, {"Sum", Variant(12.5)}}}});
    Sweep({"template", true,
           [&](IDispatch* d) {
               return Command(d, idPrintTemplateDocument, MakeVariantArray({params, Variant(7), Variant(0)}));
           },
           {"GetNumbers", "WriteComm"}});
}

// The life cycle off its usual road: the commands go on whatever the log and the library file do,
// and a host that skips a step leaves no connection and no memory behind.
TEST_F(FaultSweepTest, LifeCycleOffItsRoad) {
    // The log's folder lies under a file: nothing can be written there.
    Dir.Write("COM1", "plain", "");
    Manager.Answers["DevicesFolder"] = (Dir.Port() / "plain").string();
    ASSERT_TRUE(Init(Disp(), &Manager).Ok());
    ASSERT_TRUE(Open(Disp(), "1").Ok());
    Driver->SetParamValue("DebugLogEnabled", Variant(true));
    ASSERT_TRUE(Command(Disp(), idEnable).Ok);
    EXPECT_TRUE(Command(Disp(), idOpenDay).Ok);
    EXPECT_TRUE(Command(Disp(), idPrintXReport).Ok);
    EXPECT_TRUE(Command(Disp(), idDisable).Ok);

    // Close without Disable disconnects and unloads; the commands then answer without a printer.
    ASSERT_TRUE(Command(Disp(), idEnable).Ok);
    const std::size_t disconnects = Calls("CloseDLL").size();
    ASSERT_EQ(Call(Disp(), idClose, {}).Hr, S_OK);
    EXPECT_EQ(Calls("CloseDLL").size(), disconnects + 1);
    EXPECT_FALSE(Driver->LibraryLoaded());
    const TCommandAnswer x = Command(Disp(), idPrintXReport);
    EXPECT_FALSE(x.Ok);
    EXPECT_EQ(x.Code(), 1006) << x.Text();

    // The library file removed after Open (where the system lets it go): the loaded library still serves.
    const std::filesystem::path copy = Dir.Root() / "lib";
    std::filesystem::create_directories(copy);
    const std::filesystem::path bin = platform::ModuleFolder(nullptr);
    // The platform's own file name for the library.
    const std::string name = std::filesystem::exists(bin / "libazimuth.so") ? "libazimuth.so" : AzimuthLibName;
    std::filesystem::copy_file(bin / name, copy / name);
    ComPtr<TTestDriverFR> other = TTestDriverFR::Create();
    other->Folder = FolderOf(copy);
    ASSERT_TRUE(Init(other.Get(), &Manager).Ok());
    ASSERT_TRUE(Open(other.Get(), "1").Ok());
    std::error_code locked; // Windows keeps a loaded library's file
    std::filesystem::remove(copy / name, locked);
    EXPECT_TRUE(Command(other.Get(), idEnable).Ok);
    EXPECT_TRUE(Command(other.Get(), idPrintXReport).Ok);

    // Released without Close, enabled: disconnected once, unloaded, nothing leaked.
    const std::size_t before = Calls("CloseDLL").size();
    other.Reset();
    EXPECT_EQ(Calls("CloseDLL").size(), before + 1);
}
