// Where there is no window system: the settings dialog cannot be shown.
#include "fiscal/FiscalTestSupport.h"
#include "settings/ShowDriverSettings.h"

using namespace fiscaltest;

TEST(DriverSettingsDialog, WithoutAWindowSystemTheHostHearsOkAndTheTableStays) {
    ComPtr<TTestDriverFR> driver = TTestDriverFR::Create();
    EXPECT_TRUE(ShowDriverSettings(*driver.Get()));
    EXPECT_EQ(driver->GetParamAsInteger("PortNumber"), 1);
    EXPECT_EQ(driver->GetParamAsString("DefCashierPassword"), "QWTZ");
}
