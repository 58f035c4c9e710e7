// The settings pages' printer operations on the driver: translated codes, and the driver's own
// message when there is no library.
#include "fiscal/FiscalTestSupport.h"
#include "settings/uFiscalServices.h"

using namespace fiscaltest;

// The page's printer operations on the driver itself.
TEST(DriverFRServices, WithoutALibraryThePageShowsTheDriversOwnMessage) {
    ComPtr<TTestDriverFR> driver = TTestDriverFR::Create();
    TDriverFRServices services(*driver.Get());
    std::array<std::string, 7> texts;
    WString text;
    EXPECT_EQ(services.ReadPrinterInfo(texts, text), ErrLibraryNotFound);
    EXPECT_EQ(U8(GetErrorDescription(ErrLibraryNotFound, text)), "Библиотека не найдена");
    EXPECT_EQ(AnsiToUtf8(texts[0]), "Не определено");
    EXPECT_EQ(services.ChangeBaudrate(9600, text), ErrLibraryNotFound);
    EXPECT_EQ(services.ProgramPayment(0, "CASH", text), ErrLibraryNotFound);
    EXPECT_EQ(services.PrintXReport(text), ErrLibraryNotFound);
    EXPECT_EQ(services.CloseShift(text), ErrLibraryNotFound);
    EXPECT_EQ(services.WriteDocParams(432, 0, text), ErrLibraryNotFound);
    EXPECT_TRUE(text.empty());
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
