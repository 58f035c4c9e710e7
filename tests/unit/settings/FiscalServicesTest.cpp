// The settings pages' printer operations on the driver: translated codes, and the driver's own
// message when there is no library.
#include "fiscal/FiscalTestSupport.h"
#include "settings/uFiscalServices.h"

#include <functional>

using namespace fiscaltest;

namespace {

// Every operation of the seam, with arguments the printer takes.
const std::pair<const char*, std::function<LONG(IFiscalServices&, WString&)>> Operations[] = {
    {"ChangeBaudrate", [](IFiscalServices& s, WString& t) { return s.ChangeBaudrate(19200, t); }},
    {"SetDateTime", [](IFiscalServices& s, WString& t) { return s.SetDateTime(45000.5, t); }},
    {"ReadPrinterInfo",
     [](IFiscalServices& s, WString& t) {
         std::array<std::string, 7> texts;
         const LONG code = s.ReadPrinterInfo(texts, t);
         EXPECT_EQ(AnsiToUtf8(texts[6]), "Не определено");
         return code;
     }},
    {"PrintXReport", [](IFiscalServices& s, WString& t) { return s.PrintXReport(t); }},
    {"CloseShift", [](IFiscalServices& s, WString& t) { return s.CloseShift(t); }},
    {"WriteDocParams", [](IFiscalServices& s, WString& t) { return s.WriteDocParams(432, 0, t); }},
    {"ProgramHeader", [](IFiscalServices& s, WString& t) { return s.ProgramHeader("A", t); }},
    {"ProgramTail", [](IFiscalServices& s, WString& t) { return s.ProgramTail("B", t); }},
    {"ProgramPayment", [](IFiscalServices& s, WString& t) { return s.ProgramPayment(0, "CASH", t); }},
    {"ProgramTax",
     [](IFiscalServices& s, WString& t) {
         CY rate, second;
         rate.int64 = 180000;
         second.int64 = 100;
         return s.ProgramTax(0, "VAT", rate, second, 0, t);
     }},
};

// Each operation refuses with the driver's own code and leaves the text to that code's message.
void ExpectRefusals(TDriverFR& driver, LONG code, const char* message) {
    TDriverFRServices services(driver);
    for (const auto& [name, run] : Operations) {
        SCOPED_TRACE(name);
        WString text = W("left from before");
        EXPECT_EQ(run(services, text), code);
        EXPECT_EQ(U8(GetErrorDescription(code, text)), message);
    }
}

} // namespace

TEST(DriverFRServices, WithoutALibraryEveryOperationShowsTheDriversOwnMessage) {
    ComPtr<TTestDriverFR> driver = TTestDriverFR::Create();
    ExpectRefusals(*driver.Get(), ErrLibraryNotFound, "Библиотека не найдена");
}

// The dialogs connect for each operation; a caller that did not gets a refusal it can act on,
// and the library, which answers in its own terms before a connect, is not asked.
TEST_F(DriverTest, WithTheDeviceDisabledEveryOperationIsRefusedBeforeTheLibrary) {
    InitAndOpen();
    const std::size_t calls = Dir.Journal().size();
    ExpectRefusals(*Driver.Get(), ErrDeviceNotReady, "Оборудование не готово");
    EXPECT_EQ(Dir.Journal().size(), calls);
}

TEST_F(DriverTest, ThePagesOperationsReachThePrinter) {
    Up();
    TDriverFRServices services(*Driver.Get());
    WString text;
    std::array<std::string, 7> identity;
    EXPECT_EQ(services.ReadPrinterInfo(identity, text), ErrNone) << U8(text);
    EXPECT_NE(AnsiToUtf8(identity[0]), "Не определено");
    EXPECT_EQ(services.PrintXReport(text), ErrNone) << U8(text);
    EXPECT_EQ(Calls("XReport").size(), 1u);
    EXPECT_EQ(services.WriteDocParams(432, 0, text), ErrNone) << U8(text);
    EXPECT_EQ(Calls("SetParamDoc").size(), 1u);
}
