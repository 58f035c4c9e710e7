// The library as the driver sees it: loaded from the folder of the executable, entry points found
// by name, CP1251 strings, answers read field by field, and the journal of every call.
#include "EmulatorTestSupport.h"

#include "emulator/Codes.h"
#include "emulator/EntryPoints.h"
#include "emulator/StateFiles.h"

#include "platform/Platform.h"

#include <gtest/gtest.h>

#include <cstring>
#include <thread>

namespace azimuth::test {
namespace {

using FnVoid = LONG(WINAPI*)();
using FnText = LONG(WINAPI*)(LPCSTR);
using FnLong = LONG(WINAPI*)(LONG);
using FnByte = LONG(WINAPI*)(BYTE);
using FnOpen = LONG(WINAPI*)(LPCSTR, LPCSTR, LPCSTR, LPCSTR, LONG);
using FnStart = LONG(WINAPI*)(LONG, LONG, LPCSTR, LPCSTR, LPCSTR);
using FnItem = LONG(WINAPI*)(LPCSTR, LPCSTR, LPCSTR, LPCSTR, LONG, LONG, LONG);
using FnCommission = LONG(WINAPI*)(LONG, LONG, LONG, LPCSTR);
using FnTender = LONG(WINAPI*)(BYTE, LONG, LPCSTR);
using FnTwoLongs = LONG(WINAPI*)(LONG, LONG);
using FnTwoBytes = LONG(WINAPI*)(BYTE, BYTE);
using FnRaw = LONG(WINAPI*)(LPCSTR, LONG);
using FnShiftState = LONG(WINAPI*)(LONG*, LONG*);
using FnFldWord = WORD(WINAPI*)(BYTE);
using FnFldByte = BYTE(WINAPI*)(BYTE);
using FnFldFloat = double(WINAPI*)(BYTE);
using FnFldStr = LPSTR(WINAPI*)(BYTE, LPSTR);
using FnErrorText = LPSTR(WINAPI*)(LPSTR, LONG);

class AzimuthDll {
public:
    AzimuthDll() : module_(LoadLibraryA((platform::ModuleFolder(nullptr) + "azimuth.dll").c_str())) {}
    ~AzimuthDll() {
        if (module_)
            FreeLibrary(module_);
    }
    explicit operator bool() const { return module_ != nullptr; }

    template <class Fn>
    Fn Get(const char* name) const {
        return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
    }
    // Looks an entry point up and fails the test when it is missing.
    template <class Fn>
    Fn operator()(const char* name) const {
        Fn fn = Get<Fn>(name);
        EXPECT_NE(fn, nullptr) << name;
        return fn;
    }

private:
    HMODULE module_;
};

class ExportsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dll) << "azimuth is not beside the test executable";
        // The library outlives the tests: start each one disconnected and with an empty journal.
        dll.Get<FnVoid>("CloseDLL")();
        std::filesystem::remove(dir.Port() / files::kJournal);
        std::filesystem::remove(dir.Root() / files::kJournal);
    }
    void TearDown() override {
        if (dll)
            dll.Get<FnVoid>("CloseDLL")();
    }
    LONG Connect(const char* port = "COM1", const char* baud = "19200") {
        return dll.Get<FnOpen>("OpenDLLPlus")(A("Кассир").c_str(), "QWTZ", port, baud, 0);
    }
    std::vector<std::string> Calls(const std::string& port = "COM1") const {
        std::vector<std::string> names;
        for (const auto& call : dir.Journal(port))
            names.push_back(call["fn"].get<std::string>());
        return names;
    }

    StateDir dir;
    AzimuthDll dll;
};

TEST_F(ExportsTest, EveryEntryPointIsExportedByItsPlainName) {
    for (const auto& entry : kEntryPoints)
        EXPECT_NE(dll.Get<FnVoid>(entry.name), nullptr) << entry.name;
}

TEST_F(ExportsTest, ReceiptThroughTheEntryPointsAsTheDriverSendsIt) {
    char buffer[32000];
    ASSERT_EQ(Connect(), kOk);
    EXPECT_EQ(dll.Get<FnVoid>("StartSeans")(), kOk);
    EXPECT_EQ(dll.Get<FnVoid>("StartSeans")(), kAlreadyDone);
    EXPECT_EQ(dll.Get<FnTwoLongs>("SetCommTimeoutMs")(7000, 7000), kOk);
    ASSERT_EQ(dll.Get<FnVoid>("GetResource")(), kOk);
    EXPECT_EQ(dll.Get<FnFldWord>("GetFldWord")(7), 0) << "no shift closed yet";
    EXPECT_EQ(dll.Get<FnLong>("CashDriverEnable")(0), kOk);
    ASSERT_EQ(dll.Get<FnVoid>("GetSerialNum")(), kOk);
    EXPECT_STREQ(dll.Get<FnFldStr>("GetFldStr")(5, buffer), "27000001");

    LONG state = -1, other = -1;
    ASSERT_EQ(dll.Get<FnShiftState>("GetShiftState")(&state, &other), kOk);
    EXPECT_EQ(state, 0);
    ASSERT_EQ(dll.Get<FnText>("ChangeOpName")(A("Иванова").c_str()), kOk);
    ASSERT_EQ(dll.Get<FnStart>("StartReceipt")(0, 1, "", "", ""), kOk);
    ASSERT_EQ(dll.Get<FnItem>("ItemReceipt")(A("ХЛЕБ").c_str(), " ", " ", "", 4550, 2000, 1), kOk);
    ASSERT_EQ(dll.Get<FnCommission>("ComissionReceiptPlus")(1, 0, 100, A("СКИДКА").c_str()), kOk);
    ASSERT_EQ(dll.Get<FnByte>("TaxReceipt")(1), kOk);
    ASSERT_EQ(dll.Get<FnByte>("TaxReceipt")(4), kTaxRateNotSet);
    ASSERT_EQ(dll.Get<FnVoid>("TotalReceipt")(), kOk);
    ASSERT_EQ(dll.Get<FnTender>("TenderReceipt")(1, 5000, ""), kOk);
    EXPECT_EQ(dll.Get<FnFldByte>("GetFldByte")(2) & 7, 4) << "90.00 due, 50.00 paid";
    ASSERT_EQ(dll.Get<FnTender>("TenderReceipt")(0, 5000, ""), kOk);
    EXPECT_EQ(dll.Get<FnFldByte>("GetFldByte")(2) & 7, 5);
    EXPECT_DOUBLE_EQ(dll.Get<FnFldFloat>("GetFldFloat")(4), 10.00) << "the change";
    ASSERT_EQ(dll.Get<FnVoid>("CloseReceipt")(), kOk);
    ASSERT_EQ(dll.Get<FnVoid>("GetNumbers")(), kOk);
    EXPECT_EQ(dll.Get<FnFldWord>("GetFldWord")(5), 1);
    EXPECT_EQ(dll.Get<FnFldWord>("GetFldWord")(6), 1);
    ASSERT_EQ(dll.Get<FnTwoBytes>("GetEReport")(54, 0), kOk);
    EXPECT_DOUBLE_EQ(dll.Get<FnFldFloat>("GetFldFloat")(5), 40.00) << "cash kept: 50.00 less the change";
    ASSERT_EQ(dll.Get<FnTwoLongs>("SetCommTimeoutMs")(20000, 20000), kOk) << "a report needs more than 7 s";
    ASSERT_EQ(dll.Get<FnVoid>("ShiftClose")(), kOk);
    ASSERT_EQ(dll.Get<FnVoid>("GetResource")(), kOk);
    EXPECT_EQ(dll.Get<FnFldWord>("GetFldWord")(7), 1);

    const std::vector<std::string> expected = {
        "OpenDLLPlus",   "StartSeans",    "StartSeans",   "SetCommTimeoutMs",     "GetResource",  "GetFldWord",
        "CashDriverEnable", "GetSerialNum", "GetFldStr",  "GetShiftState",        "ChangeOpName", "StartReceipt",
        "ItemReceipt",   "ComissionReceiptPlus", "TaxReceipt", "TaxReceipt",      "TotalReceipt", "TenderReceipt",
        "GetFldByte",    "TenderReceipt", "GetFldByte",   "GetFldFloat",          "CloseReceipt", "GetNumbers",
        "GetFldWord",    "GetFldWord",    "GetEReport",   "GetFldFloat",          "SetCommTimeoutMs", "ShiftClose",
        "GetResource",   "GetFldWord"};
    EXPECT_EQ(Calls(), expected);
    const auto journal = dir.Journal();
    ASSERT_EQ(journal.size(), expected.size());
    for (std::size_t i = 1; i < journal.size(); ++i)
        EXPECT_EQ(journal[i]["seq"].get<std::int64_t>(), journal[i - 1]["seq"].get<std::int64_t>() + 1);
    EXPECT_EQ(journal[0]["args"], nlohmann::json::parse(R"(["Кассир", "QWTZ", "COM1", "19200", 0])"));
    EXPECT_EQ(journal[0]["rc"], 0);
    EXPECT_EQ(journal[8]["rc"], "27000001") << "a text answer is journaled as text";
    EXPECT_EQ(journal[9]["args"], nlohmann::json::parse("[null, null]")) << "out pointers";
    EXPECT_EQ(journal[12]["args"], nlohmann::json::parse(R"(["ХЛЕБ", " ", " ", "", 4550, 2000, 1])"));
    EXPECT_EQ(journal[15]["rc"], 12);

    const std::string paper = dir.Read("COM1", files::kPaper);
    EXPECT_NE(paper.find("ХЛЕБ"), std::string::npos);
    EXPECT_NE(paper.find("КАССИР Иванова"), std::string::npos);
}

TEST_F(ExportsTest, EveryCodeHasARussianText) {
    const auto get = dll.Get<FnErrorText>("GetErrorMessageNo");
    std::vector<char> buffer(32000, 'Z');
    for (std::int32_t code : AllCodes()) {
        ASSERT_EQ(get(buffer.data(), code), buffer.data());
        EXPECT_EQ(std::string(buffer.data()), A(CodeText(code).c_str())) << code;
        EXPECT_GT(std::strlen(buffer.data()), 5u) << code;
    }
    for (std::int32_t fixed : {7, 12, 13, 21, 194}) {
        get(buffer.data(), fixed);
        EXPECT_EQ(std::string(buffer.data()).find(A("Неизвестный")), std::string::npos) << fixed;
    }
    get(buffer.data(), 9999);
    EXPECT_EQ(std::string(buffer.data()), A("Неизвестный код ошибки 9999"));
    EXPECT_EQ(get(nullptr, 13), nullptr);
}

TEST_F(ExportsTest, PointersAreCheckedAndAnswersFitTheDriversBuffers) {
    dir.Write("COM1", files::kConfig, R"({"serial": "123456789012345", "model": "ABCDEFGHIJKLMNOPQRSTUVWXYZ"})");
    ASSERT_EQ(Connect(), kOk);
    EXPECT_EQ(dll.Get<FnShiftState>("GetShiftState")(nullptr, nullptr), kBadArgument);
    EXPECT_EQ(dll.Get<FnItem>("ItemReceipt")(nullptr, " ", " ", "", 1, 1, 1), kBadArgument);
    EXPECT_EQ(dll.Get<FnRaw>("PrintOEMDoc")(nullptr, 5), kBadArgument);
    EXPECT_EQ(dll.Get<FnFldStr>("GetFldStr")(5, nullptr), nullptr);
    EXPECT_EQ(dll.Get<FnOpen>("OpenDLLPlus")(nullptr, nullptr, nullptr, nullptr, 0), kBadArgument);
    ASSERT_EQ(Connect(), kOk);

    char buffer[24];
    std::memset(buffer, 'Z', sizeof buffer);
    ASSERT_EQ(dll.Get<FnVoid>("GetSerialNum")(), kOk);
    dll.Get<FnFldStr>("GetFldStr")(5, buffer);
    EXPECT_STREQ(buffer, "12345678901") << "the driver reads the serial number into 12 bytes";
    EXPECT_EQ(buffer[12], 'Z');
    std::memset(buffer, 'Z', sizeof buffer);
    ASSERT_EQ(dll.Get<FnVoid>("GetFiscalNums")(), kOk);
    dll.Get<FnFldStr>("GetFldStr")(5, buffer);
    EXPECT_STREQ(buffer, "ABCDEFGHIJKLMNOP") << "and the identity texts into 17";
    EXPECT_EQ(buffer[17], 'Z');

    // A long text printed from a buffer that is not terminated where the length says; exactly the
    // length is taken, and a NUL within it (a length that counts the terminator) is refused.
    const std::string text(100000, 'T');
    ASSERT_EQ(dll.Get<FnVoid>("OpenFDoc")(), kOk);
    EXPECT_EQ(dll.Get<FnRaw>("PrintOEMDoc")("AB\0CD", 5), kBadCharacter);
    EXPECT_EQ(dll.Get<FnRaw>("PrintOEMDoc")("TT", 3), kBadCharacter);
    EXPECT_EQ(dir.Journal().back()["args"], nlohmann::json::parse(R"(["TT\u0000", 3])"));
    EXPECT_EQ(dll.Get<FnRaw>("PrintOEMDoc")(text.c_str(), 80), kOk);
    EXPECT_EQ(dll.Get<FnRaw>("WriteComm")("\x1Bi", 2), 2);
    EXPECT_EQ(dll.Get<FnVoid>("CloseFDoc")(), kOk);
    EXPECT_EQ(dir.Read("COM1", files::kPaper), std::string(40, 'T') + "\n" + std::string(40, 'T') + "\n" +
                                                    "------------------ ✂ -------------------\n");
}

TEST_F(ExportsTest, OpenDocumentIsReportedByTheShiftStateQuery) {
    ASSERT_EQ(Connect(), kOk);
    ASSERT_EQ(dll.Get<FnVoid>("OpenFDoc")(), kOk);
    LONG state = -1, other = -1;
    EXPECT_EQ(dll.Get<FnShiftState>("GetShiftState")(&state, &other), kDocumentOpen);
    EXPECT_EQ(dll.Get<FnVoid>("OpenFDoc")(), kDocumentOpen);
    EXPECT_EQ(dll.Get<FnVoid>("CancelReceipt")(), kOk);
    EXPECT_EQ(dll.Get<FnShiftState>("GetShiftState")(&state, &other), kOk);
}

TEST_F(ExportsTest, ModelWithoutSlipsAndDepartmentsSaysSo) {
    ASSERT_EQ(Connect(), kOk);
    EXPECT_EQ(dll.Get<FnByte>("GetDept")(1), kNotSupported);
    EXPECT_EQ(dll.Get<FnVoid>("EJPrint")(), kNotSupported);
    EXPECT_EQ(dll.Get<FnByte>("OpenFiscalDoc")(1), kNotSupported);
    EXPECT_EQ(dll.Get<FnVoid>("GetLastDllError")(), kNotSupported);
    char text[256];
    EXPECT_STREQ(dll.Get<LPSTR(WINAPI*)(LPSTR)>("GetErrorMessage")(text), A(CodeText(kNotSupported).c_str()).c_str());
}

TEST_F(ExportsTest, CallsFromSeveralThreadsAreSerialized) {
    ASSERT_EQ(Connect(), kOk);
    const auto numbers = dll.Get<FnVoid>("GetNumbers");
    const auto word = dll.Get<FnFldWord>("GetFldWord");
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&] {
            for (int i = 0; i < 50; ++i) {
                numbers();
                word(5);
            }
        });
    for (auto& thread : threads)
        thread.join();
    const auto journal = dir.Journal();
    ASSERT_EQ(journal.size(), 1u + 400u);
    for (std::size_t i = 1; i < journal.size(); ++i)
        EXPECT_EQ(journal[i]["seq"].get<std::int64_t>(), journal[i - 1]["seq"].get<std::int64_t>() + 1);
}

} // namespace
} // namespace azimuth::test
