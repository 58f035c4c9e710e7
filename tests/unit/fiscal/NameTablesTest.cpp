// The name conformity tables built from the parameters, their lookups, and programming payment
// names and tax groups into the printer.
#include "FiscalTestSupport.h"

using namespace fiscaltest;

namespace {

class NameTables : public ::testing::Test {
protected:
    ComPtr<TTestDriverFR> Driver = TTestDriverFR::Create();

    void Set(const char* name, const char* utf8) {
        Driver->SetParamValue(name, Variant::FromUtf8(utf8));
        Driver->BuildNameLists();
    }
    static std::string Name(const TNameList& list, LONG n) { return AnsiToUtf8(list.Name(n)); }
};

} // namespace

TEST_F(NameTables, DefaultTaxGroupsLoseTheirRates) {
    Driver->BuildNameLists();
    const TNameList& taxes = Driver->TaxNames();
    EXPECT_EQ(Name(taxes, 0), "БЕЗ НДС");
    for (LONG n : {1, 2, 3})
        EXPECT_EQ(Name(taxes, n), "НДС") << n;
    EXPECT_EQ(Name(taxes, 4), "");
}

TEST_F(NameTables, TaxGroupsWithinTheListSizeAreNamedKeysBeyondItKeepTheirEntry) {
    Set("TaxesParams", "1=НДС=18");
    EXPECT_EQ(Name(Driver->TaxNames(), 0), "Налог 0");
    EXPECT_EQ(Name(Driver->TaxNames(), 1), "НДС=18");

    Set("TaxesParams", "0=Налог 10=5;1=;2=НАЛОГ С ПРОДАЖ=3");
    EXPECT_EQ(Name(Driver->TaxNames(), 0), "Налог 1") << "cut to 7 characters";
    EXPECT_EQ(Name(Driver->TaxNames(), 1), "Налог 1");
    EXPECT_EQ(Name(Driver->TaxNames(), 2), "НАЛОГ С");
}

TEST_F(NameTables, PaymentNamesUpperCaseLatinLettersOnly) {
    Set("PaymentTypeNameConformity", "0=cash;1=Плат. картой;2=Card-ё");
    EXPECT_EQ(Name(Driver->PaymentNames(), 0), "CASH");
    EXPECT_EQ(Name(Driver->PaymentNames(), 1), "Плат. картой");
    EXPECT_EQ(Name(Driver->PaymentNames(), 2), "CARD-ё");
    Set("PaymentTypeNameConformity", "0=Наличными;1=Плат. картой;2=Безнал");
    EXPECT_EQ(Name(Driver->PaymentNames(), 7), "") << "a missing number has no name";
}

TEST_F(NameTables, DepartmentsAreReadThoughNotRegistered) {
    EXPECT_EQ(Driver->FindParam("DepartmentNameConformity"), nullptr);
    Driver->BuildNameLists();
    EXPECT_EQ(Driver->DepartmentNames().Count(), 0u);
}

TEST(NameList, FirstMatchingKeyWinsWhateverTheCaseAndMalformedEntriesAreSkipped) {
    TNameList list;
    list.Assign("a=1;;noequals;A=2;b=x=y;");
    EXPECT_EQ(list.Count(), 5u) << "a trailing separator adds no entry";
    EXPECT_EQ(list.Value("A"), "1");
    EXPECT_EQ(list.Value("b"), "x=y");
    EXPECT_EQ(list.Value("noequals"), "");
    list.SetValue("B", "z");
    EXPECT_EQ(list.Lines()[4], "B=z");
    list.SetValue("c", "new");
    EXPECT_EQ(list.Lines().back(), "c=new");
}

TEST_F(DriverTest, PaymentAndTaxProgrammingSendTheirFixedArgumentsAndPlainNumbers) {
    Up();
    EXPECT_EQ(Driver->ProgramPayment(0, Utf8ToAnsi("НАЛИЧНЫЕ")), 0);
    EXPECT_EQ(Driver->ProgramPayment(3, "BONUS"), 0);
    const std::vector<json> payments = Calls("SetPayment");
    ASSERT_EQ(payments.size(), 2u);
    EXPECT_EQ(payments[0]["args"], json::parse(R"([0, "НАЛИЧНЫЕ", 0, 1, 0, 7, "1"])"));
    EXPECT_EQ(payments[1]["args"], json::parse(R"([3, "BONUS", 0, 0, 0, 7, "1"])"));

    EXPECT_EQ(Driver->ProgramTax(1, Utf8ToAnsi("НДС"), fwtest::Cy(180000), fwtest::Cy(100), 0), 0);
    EXPECT_EQ(Driver->ProgramTax(2, "T", fwtest::Cy(102500), fwtest::Cy(100), 0), 0);
    const std::vector<json> taxes = Calls("SetTaxes");
    ASSERT_EQ(taxes.size(), 2u);
    EXPECT_EQ(taxes[0]["args"], json::parse(R"([1, 0, "НДС", "18", "0.01"])"));
    EXPECT_EQ(taxes[1]["args"][3], "10.25");
}
