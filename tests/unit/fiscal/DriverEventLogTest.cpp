// The event log against the virtual printer with rehearsed faults: each kind of event leaves its one
// line in the device's folder, and with EventLogEnabled off nothing is written anywhere.
#include "ReceiptTestSupport.h"

#include "framework/uDebugLog.h"
#include "framework/uEventLog.h"
#include "settings/uFiscalServices.h"

#include <filesystem>
#include <functional>

using namespace fiscaltest;
namespace fs = std::filesystem;

namespace {

class DriverEventLogTest;
using TSession = std::function<void(DriverEventLogTest&)>;

struct TEventCase {
    const char* name;
    const char* faults; // the printer's faults.json
    TSession session;   // what the host does with the new driver
    // What follows the time: device ID, level, text and code; a line ending in "*" is a prefix.
    std::vector<std::string> lines;
};

std::string Error(const std::string& text, LONG code) {
    return "1\tОШИБКА\t" + text + "\tкод " + std::to_string(code);
}
std::string Warning(const std::string& text) {
    return "1\tПРЕДУПРЕЖДЕНИЕ\t" + text;
}
std::string Warning(const std::string& text, LONG code) {
    return Warning(text) + "\tкод " + std::to_string(code);
}

Variant Sale() {
    return Receipt(Table({Item("Хлеб", 10, 1)}), Table({Payment(0, 10)}), Params(0, true, 10));
}

class DriverEventLogTest : public ReceiptTest {
public:
    using DriverTest::Dir;
    using DriverTest::Disp;
    using DriverTest::Driver;
    using DriverTest::InitAndOpen;
    using DriverTest::Manager;
    using DriverTest::Up;

    fs::path DeviceFolder() const { return Dir.Root() / "devices" / "1"; }
    void UpWithShift() {
        Up();
        ASSERT_TRUE(Command(Disp(), idOpenDay).Ok);
    }
    TCommandAnswer Run(DISPID id, const Variant& inData = Variant()) { return Command(Disp(), id, inData); }

    // The session on a new printer and a new driver; the lines it logged, after their time (UTF-8).
    std::vector<std::string> Events(const TEventCase& c, bool on) {
        fs::remove_all(Dir.Port());
        fs::remove_all(DeviceFolder());
        fs::create_directories(DeviceFolder());
        Faults(c.faults);
        Manager.Answers["DevicesFolder"] = (Dir.Root() / "devices").string();
        Driver = TTestDriverFR::Create();
        Driver->SetParamValue("EventLogEnabled", Variant(on));
        c.session(*this);
        Driver = TTestDriverFR::Create();
        std::vector<std::string> lines;
        for (const std::string& line :
             Lines(ReadFile(EventLogFileName(FolderOf(DeviceFolder()), LocalNow())))) {
            EXPECT_EQ(line.substr(0, 11), LogTimeText(LocalNow()).substr(0, 11));
            EXPECT_EQ(line.find('\t'), 23u) << line;
            lines.push_back(AnsiToUtf8(line.substr(24)));
        }
        return lines;
    }
};

bool Matches(const std::string& line, const std::string& expected) {
    if (!expected.empty() && expected.back() == '*')
        return line.rfind(expected.substr(0, expected.size() - 1), 0) == 0;
    return line == expected;
}

} // namespace

TEST_F(DriverEventLogTest, EachEventLeavesItsLineAndNothingIsWrittenWithTheSwitchOff) {
    const std::string paperOut = "Нет бумаги (23)", silent = "ККМ не отвечает (194)";
    const std::string noDocument = "; открытых документов на ККМ нет";
    const TEventCase cases[] = {
        {"Open without the printer's library",
         "{}",
         [](DriverEventLogTest& t) {
             t.Driver->Folder = FolderOf(t.Dir.Root() / "no-library");
             ASSERT_TRUE(Init(t.Disp(), &t.Manager).Ok());
             EXPECT_FALSE(Open(t.Disp(), "1").Ok());
         },
         {Error("Метод Open не выполнен: Библиотека не найдена", 1006)}},
        {"Enable on a port without a printer",
         "{}",
         [](DriverEventLogTest& t) {
             t.InitAndOpen();
             t.Driver->SetParamValue("PortNumber", Variant(7));
             EXPECT_FALSE(t.Run(idEnable).Ok);
         },
         {Error("Команда Enable не выполнена: К указанному порту ККМ не подключена (5); связь с ККМ не "
                "установлена (порт COM7, скорость 19200)",
                1001)}},
        {"the printer stops answering",
         R"({"rules": [{"fn": "XReport", "code": 194}]})",
         [](DriverEventLogTest& t) {
             t.UpWithShift();
             EXPECT_FALSE(t.Run(idPrintXReport).Ok);
         },
         {Error("Команда PrintXReport не выполнена: " + silent + "; ККМ перестала отвечать" + noDocument,
                1007)}},
        {"a receipt refused half way is cancelled",
         R"({"rules": [{"fn": "TenderReceipt", "code": 23}]})",
         [](DriverEventLogTest& t) {
             t.UpWithShift();
             EXPECT_FALSE(t.Run(idPrintReceipt, Sale()).Ok);
         },
         {Warning("Чек аннулирован после сбоя"),
          Error("Команда PrintReceipt не выполнена: " + paperOut + noDocument, 1001)}},
        {"a receipt whose cancel fails too, then the next receipt",
         R"({"rules": [{"fn": "TenderReceipt", "code": 23, "call": 1}, {"fn": "CancelReceipt", "code": 194, "call": 1}]})",
         [](DriverEventLogTest& t) {
             t.UpWithShift();
             EXPECT_FALSE(t.Run(idPrintReceipt, Sale()).Ok);
             EXPECT_TRUE(t.Run(idPrintReceipt, Sale()).Ok);
         },
         {Error("Не удалось аннулировать чек после сбоя: " + silent, 1007),
          Error("Команда PrintReceipt не выполнена: " + paperOut + "; документ на ККМ мог остаться открытым",
                1001),
          Warning("Документ, оставшийся открытым на ККМ, аннулирован")}},
        {"the answer to closing a receipt is lost",
         R"({"rules": [{"fn": "CloseReceipt", "code": 194, "after": true}]})",
         [](DriverEventLogTest& t) {
             t.UpWithShift();
             EXPECT_TRUE(t.Run(idPrintReceipt, Sale()).Ok);
         },
         {Warning("Ответ ККМ на закрытие чека потерян (" + silent + "); чек зарегистрирован", 1007)}},
        {"a text document that does not close is cancelled",
         R"({"rules": [{"fn": "CloseFDoc", "code": 23}]})",
         [](DriverEventLogTest& t) {
             t.UpWithShift();
             EXPECT_FALSE(t.Run(idPrintText, MakeVariantArray({Str("A")})).Ok);
         },
         {Warning("Текстовый документ аннулирован после сбоя"),
          Error("Команда PrintText не выполнена: " + paperOut + noDocument, 1001)}},
        {"counters the printer cannot tell",
         R"({"rules": [{"fn": "GetResource", "code": 23}, {"fn": "GetNumbers", "code": 23}, {"fn": "GetCounters", "code": 23}]})",
         [](DriverEventLogTest& t) {
             t.UpWithShift();
             EXPECT_TRUE(t.Run(idGetCountersInfo).Ok);
         },
         {Warning("ККМ не сообщила счетчик смен: " + paperOut, 1001),
          Warning("ККМ не сообщила номера документа: " + paperOut, 1001),
          Warning("ККМ не сообщила счетчики документов: " + paperOut, 1001)}},
        {"an out-argument the host's variable cannot take",
         "{}",
         [](DriverEventLogTest& t) {
             t.Up();
             LONG out = 0;
             std::vector<VARIANT> args{ByVal(Variant()), TypedRef(VT_I4, &out), ByVal(Variant(0))};
             EXPECT_EQ(Call(t.Disp(), idGetDeviceInfo, args).Hr, S_OK);
         },
         {Warning("Команда GetDeviceInfo: значение аргумента 1 не передано хосту: *")}},
        {"an OutData refused before the command runs",
         "{}",
         [](DriverEventLogTest& t) {
             t.Up();
             // Nowhere to store through.
             std::vector<VARIANT> args{ByVal(Variant()), TypedRef(VT_I4, nullptr), ByVal(Variant(0))};
             EXPECT_EQ(Call(t.Disp(), idGetDeviceInfo, args).Hr, DISP_E_EXCEPTION);
         },
         {"1\tОШИБКА\tКоманда GetDeviceInfo не выполнена: Ошибка входных параметров команды"}},
        {"a raw method's answer the host's variable cannot take",
         "{}",
         [](DriverEventLogTest& t) {
             t.Up();
             SCODE code = 0; // no text is stored through this
             std::vector<VARIANT> args{ByVal(Variant::FromDispatch(&t.Manager)), TypedRef(VT_ERROR, &code)};
             EXPECT_EQ(Call(t.Disp(), idInit, args).Hr, DISP_E_EXCEPTION);
         },
         {"1\tОШИБКА\tМетод Init не выполнен: *"}},
        {"a debug log that cannot be written is reported once",
         "{}",
         [](DriverEventLogTest& t) {
             fs::create_directories(DebugLogFileName(FolderOf(t.DeviceFolder()), LocalNow()));
             t.Driver->SetParamValue("DebugLogEnabled", Variant(true));
             t.UpWithShift();
             EXPECT_TRUE(t.Run(idPrintXReport).Ok);
         },
         {Warning("Не удалось записать отладочный лог *")}},
        {"a service action of the settings dialog",
         R"({"rules": [{"fn": "XReport", "code": 23}]})",
         [](DriverEventLogTest& t) {
             t.UpWithShift();
             WString text;
             EXPECT_EQ(TDriverFRServices(*t.Driver.Get()).PrintXReport(text), 1001);
         },
         {Error("Сервисная операция \"X - Отчет\" не выполнена: " + paperOut, 1001)}},
    };
    for (const TEventCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(Events(c, false).empty());
        EXPECT_FALSE(fs::exists(EventLogFileName("", LocalNow())));
        const std::vector<std::string> lines = Events(c, true);
        ASSERT_EQ(lines.size(), c.lines.size()) << ::testing::PrintToString(lines);
        for (std::size_t i = 0; i < lines.size(); ++i) {
            EXPECT_TRUE(Matches(lines[i], c.lines[i])) << lines[i] << "\nexpected " << c.lines[i];
            // The password the driver connects with is no event's business.
            EXPECT_EQ(lines[i].find("QWTZ"), std::string::npos);
        }
    }
}
