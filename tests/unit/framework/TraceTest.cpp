// The debug log: when lines are written, where, in what form, and how values read in it.
#include "FrameworkTestSupport.h"

#include "framework/uDebugLog.h"
#include "framework/uLogText.h"

#include <thread>

using namespace fwtest;

namespace {

class TraceTest : public ::testing::Test {
protected:
    TTempFolder Folder;
    TFixedClock Clock{{2026, 12, 7, 9, 5, 3, 7}};
    ComPtr<TTestObject> Object = TTestObject::Create();

    void SetUp() override { Object->SetLogPath(Folder.Ansi()); }
    std::string LogOf(const char* date) {
        return ReadFile((Folder.Path / (std::string("Debug_") + date + ".log")).string());
    }
    std::vector<std::string> Today() { return Lines(LogOf("2026.12.07")); }
    // The part of a line after the instance ID and the TAB.
    std::string Body(const std::string& line) {
        const std::string marker = " Inst.: " + Object->InstanceID() + "\t";
        auto pos = line.find(marker);
        return pos == std::string::npos ? "<" + line + ">" : line.substr(pos + marker.size());
    }
    void Command(DISPID id, const Variant& inData) {
        Variant outData;
        std::vector<VARIANT> args{ByVal(inData), ByRef(outData), ByVal(Variant(0))};
        ASSERT_EQ(Call(Object.Get(), id, args).Hr, S_OK);
    }
};

} // namespace

TEST_F(TraceTest, NothingIsWrittenWhileTracingIsOff) {
    Object->WriteLog("caption", "data");
    Command(idOpenCheck, Variant(1));
    EXPECT_TRUE(std::filesystem::is_empty(Folder.Path));
}

TEST_F(TraceTest, LineCarriesTimeInstanceCaptionAndData) {
    Object->SetTraceEnabled(true);
    Object->WriteLog("caption", "data");
    Object->WriteLog("alone", "ignored", true);
    const std::string text = LogOf("2026.12.07");
    EXPECT_EQ(text, "2026.12.07 09:05:03.007 Inst.: " + Object->InstanceID() + "\tcaption: \tdata\r\n" +
                        "2026.12.07 09:05:03.007 Inst.: " + Object->InstanceID() + "\talone\r\n");
}

TEST_F(TraceTest, CommandWritesEntryAndExitLines) {
    Object->SetTraceEnabled(true);
    Command(idOpenCheck, MakeVariantArray({Variant(1), Variant(W("x"))}));
    Object->NextCode = 1004;
    Command(idOpenCheck, Variant());
    const auto lines = Today();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(Body(lines[0]), "> OpenCheck: \tInData: [(1; 'x')]");
    EXPECT_EQ(Body(lines[1]), "< OpenCheck: \tResult=True; OutData: EMPTY");
    EXPECT_EQ(Body(lines[2]), "> OpenCheck: \tInData: EMPTY");
    EXPECT_EQ(Body(lines[3]), "< OpenCheck: \tResult=False; OutData: [(1004; '" +
                                  Utf8ToAnsi("Ошибка входных параметров команды") + "')]");
}

TEST_F(TraceTest, RefusedCommandStillGetsItsExitLine) {
    Object->SetTraceEnabled(true);
    Variant outData;
    std::vector<VARIANT> args{ByVal(Variant()), ByRef(outData)};
    EXPECT_EQ(Call(Object.Get(), idOpenCheck, args).Hr, E_INVALIDARG);
    const auto lines = Today();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(Body(lines[1]), "< OpenCheck: \tResult=EMPTY; OutData: EMPTY");
}

TEST_F(TraceTest, RawMethodLinesAndBothExceptionLines) {
    Object->SetTraceEnabled(true);
    Variant twoLines(W("a\r\nb"));
    std::vector<VARIANT> args{ByVal(twoLines), ByVal(Variant::Null())};
    Call(Object.Get(), idEcho, args);
    std::vector<VARIANT> one{ByVal(Variant(1))};
    Call(Object.Get(), idRaise, one);
    const auto lines = Today();
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(Body(lines[0]), "> Echo: \tParams: [('a\\nb'; NULL)]");
    EXPECT_EQ(Body(lines[1]), "< Echo: \tResult='a\\nb'; Params: [('a\\nb'; NULL)]");
    EXPECT_EQ(Body(lines[2]), "> Raise: \tParams: [(1)]");
    EXPECT_EQ(Body(lines[3]), std::string("EXCEPTION: \tbroken ") + Utf8ToAnsi("н"));
    EXPECT_EQ(Body(lines[4]), std::string("EXCEPTION: \tEInputError: broken ") + Utf8ToAnsi("н"));
}

TEST_F(TraceTest, TheCallThatSwitchesTracingOnIsNotTracedAndTheOneSwitchingOffGetsNoExit) {
    Command(idEnable, Variant());
    EXPECT_EQ(Object->TraceStarts, 1);
    Command(idOpenCheck, Variant());
    Command(idDisable, Variant());
    Command(idOpenCheck, Variant());
    const auto lines = Today();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(Body(lines[0]).rfind("> OpenCheck", 0), 0u);
    EXPECT_EQ(Body(lines[1]).rfind("< OpenCheck", 0), 0u);
    EXPECT_EQ(Body(lines[2]), "> Disable: \tInData: EMPTY");
}

TEST_F(TraceTest, SwitchingOnTwiceStartsTheTraceOnce) {
    Object->SetTraceEnabled(true);
    Object->SetTraceEnabled(true);
    EXPECT_EQ(Object->TraceStarts, 1);
    Object->SetTraceEnabled(false);
    Object->SetTraceEnabled(true);
    EXPECT_EQ(Object->TraceStarts, 2);
}

TEST_F(TraceTest, CallAcrossMidnightWritesToBothDaysFiles) {
    Object->SetTraceEnabled(true);
    Object->WriteLog("> OpenCheck", "before");
    TFixedClock::Now() = {2026, 12, 8, 0, 0, 0, 1};
    Object->WriteLog("< OpenCheck", "after");
    EXPECT_EQ(Today().size(), 1u);
    const auto next = Lines(LogOf("2026.12.08"));
    ASSERT_EQ(next.size(), 1u);
    EXPECT_EQ(next[0].substr(0, 23), "2026.12.08 00:00:00.001");
}

TEST_F(TraceTest, MissingFolderFallsBackToTheDriversOwnFolder) {
    Object->SetLogPath((Folder.Path / "nope").string());
    const std::string name = Object->LogFileName();
    const std::string own = platform::ModuleFolder(platform::ModuleOf(reinterpret_cast<const void*>(&LogTimeText)));
    EXPECT_EQ(name, own + "Debug_2026.12.07.log");
    Object->SetLogPath("");
    EXPECT_EQ(Object->LogFileName(), name);
    Object->SetLogPath(Folder.Ansi());
    EXPECT_EQ(Object->LogFileName(), (Folder.Path / "Debug_2026.12.07.log").string());
}

TEST_F(TraceTest, UnwritableLogNeverChangesTheOutcomeOfACall) {
    // A folder where the log file should be makes opening it fail.
    std::filesystem::create_directory(Folder.Path / "Debug_2026.12.07.log");
    Object->SetTraceEnabled(true);
    Object->NextOutData = Variant(W("printed"));
    Variant outData;
    std::vector<VARIANT> args{ByVal(Variant()), ByRef(outData), ByVal(Variant(0))};
    THostCall call = Call(Object.Get(), idOpenCheck, args);
    EXPECT_EQ(call.Hr, S_OK);
    EXPECT_TRUE(call.Result.AsBoolean());
    EXPECT_EQ(U8(outData.AsWide()), "printed");
    EXPECT_FALSE(AppendLogLine((Folder.Path / "Debug_2026.12.07.log").string(), "x\r\n"));
}

TEST_F(TraceTest, ObjectsOfTwoApartmentsNeverMixTheirLines) {
    // Lines longer than any file buffer, written at once from two threads: each must stay whole.
    ComPtr<TTestObject> other = TTestObject::Create();
    other->SetLogPath(Folder.Ansi());
    constexpr int count = 300;
    constexpr std::size_t length = 6000;
    auto trace = [](TTestObject* object, char mark) {
        object->SetTraceEnabled(true);
        for (int i = 0; i < count; ++i)
            object->WriteLog("> Trace", std::string(length, mark));
    };
    std::thread first(trace, Object.Get(), 'a');
    std::thread second(trace, other.Get(), 'b');
    first.join();
    second.join();
    int whole[2] = {};
    for (const std::string& line : Today()) {
        const std::string data = line.substr(line.find(": \t") + 3);
        if (data == std::string(length, 'a') || data == std::string(length, 'b'))
            ++whole[data[0] - 'a'];
    }
    EXPECT_EQ(whole[0], count);
    EXPECT_EQ(whole[1], count);
}

// --- value rendering ------------------------------------------------------------------------

TEST(LogText, ScalarsReadAsTheirValues) {
    EXPECT_EQ(VariantToLogText(Variant()), "EMPTY");
    EXPECT_EQ(VariantToLogText(Variant::Null()), "NULL");
    EXPECT_EQ(VariantToLogText(Variant::FromI2(-5)), "-5");
    EXPECT_EQ(VariantToLogText(Variant(2147483647)), "2147483647");
    EXPECT_EQ(VariantToLogText(Variant(true)), "True");
    EXPECT_EQ(VariantToLogText(Variant(false)), "False");
    EXPECT_EQ(VariantToLogText(Variant(W("it's"))), "'it's'");
    EXPECT_EQ(VariantToLogText(Variant(W("Чек"))), std::string("'") + Utf8ToAnsi("Чек") + "'");
    EXPECT_EQ(VariantToLogText(Variant(W("a\r\nb\r\n"))), "'a\\nb\\n'");
    VARIANT byte;
    VariantInit(&byte);
    byte.vt = VT_UI1;
    byte.bVal = 'A';
    EXPECT_EQ(VariantToLogText(byte), "A");
    VARIANT error;
    VariantInit(&error);
    error.vt = VT_ERROR;
    EXPECT_EQ(VariantToLogText(error), "");
}

TEST(LogText, NumbersUseTheShortestFormAndTheSystemSeparator) {
    EXPECT_EQ(VariantToLogText(Variant(1.5)), "1,5");
    EXPECT_EQ(VariantToLogText(Variant(100.0)), "100");
    EXPECT_EQ(VariantToLogText(Variant(0.1)), "0,1");
    EXPECT_EQ(VariantToLogText(Variant(1.0 / 3.0)), "0,333333333333333");
    EXPECT_EQ(VariantToLogText(Variant(1e20)), "1E20");
    EXPECT_EQ(VariantToLogText(Variant::FromCurrency(Cy(123450))), "12,345");
    VARIANT single;
    VariantInit(&single);
    single.vt = VT_R4;
    single.fltVal = 0.25f;
    EXPECT_EQ(VariantToLogText(single), "0,25");
}

TEST(LogText, DatesUseTheSystemFormat) {
    EXPECT_EQ(VariantToLogText(Variant::FromDate(ToOleDate({2023, 3, 15, 12, 0, 0, 0}))), "15.03.2023 12:00:00");
}

TEST(LogText, InterfacesReadAsTheirAddress) {
    ComPtr<TTestObject> object = TTestObject::Create();
    Variant v = Variant::FromDispatch(object.Get());
    char expected[24];
    std::snprintf(expected, sizeof expected, "$%08llX",
                  static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(static_cast<IDispatch*>(object.Get()))));
    EXPECT_EQ(VariantToLogText(v), expected);
}

TEST(LogText, ArraysInEveryShape) {
    EXPECT_EQ(VariantToLogText(MakeVariantArray({})), "[()]");
    EXPECT_EQ(VariantToLogText(MakeVariantArray({Variant(1), Variant(W("x")), Variant::Null()})), "[(1; 'x'; NULL)]");
    EXPECT_EQ(VariantToLogText(MakeVariantArray({Variant(1), MakeVariantArray({Variant(2)})})), "[(1; [(2)])]");

    VariantArray2D a(2, 2);
    a.Set(0, 0, Variant(W("a00")));
    a.Set(1, 0, Variant(W("a10")));
    a.Set(0, 1, Variant(W("a01")));
    a.Set(1, 1, Variant(W("a11")));
    EXPECT_EQ(VariantToLogText(a.Release()), "[(('a00'; 'a10')('a01'; 'a11'))]");

    SAFEARRAYBOUND bounds[3] = {{2, 0}, {1, 0}, {2, 1}};
    SafeArray three(SafeArrayCreate(VT_VARIANT, 3, bounds));
    LONG idx[3] = {1, 0, 2};
    Variant mark(7);
    SafeArrayPutElement(three.Get(), idx, mark.Get());
    EXPECT_EQ(VariantToLogText(Variant::FromArray(three.Detach())), "[(((EMPTY; EMPTY))((EMPTY; 7)))]");

    SafeArray longs(SafeArrayCreateVector(VT_I4, 0, 2));
    LONG i = 1;
    LONG v = 42;
    SafeArrayPutElement(longs.Get(), &i, &v);
    EXPECT_EQ(VariantToLogText(Variant::FromArray(longs.Detach(), VT_I4)), "[(0; 42)]");

    // Empty at the least lower bound, where the upper bound wraps to the greatest: not four
    // billion elements (a setting holding one hung the debug log's header).
    Variant edge = Variant::FromArray(SafeArrayCreateVector(VT_VARIANT, -2147483647 - 1, 0));
    EXPECT_EQ(ArrayReader(edge.Raw()).Count(), 0);
    EXPECT_EQ(VariantToLogText(edge), "[()]");
}
