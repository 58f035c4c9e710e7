// The parameter table, its exchange with the host as Variant arrays, and the InData readers.
#include "FrameworkTestSupport.h"

#include "framework/uDeviceInfo.h"
#include "framework/uInData.h"

using namespace fwtest;

namespace {

class ParamsTest : public ::testing::Test {
protected:
    void SetUp() override {
        Object->AddParam("PortNumber", ptNumber, Variant(1), false, Utf8ToAnsi("Порт"), "COM port");
        Object->AddParam("DebugLogEnabled", ptBoolean, Variant(false), false, "Log", "Write\r\nthe log");
        Object->AddParam("Model", ptString, Variant(W("Orvel")), true, "Model", "");
        Object->AddParam("Odd", 9, Variant(), false, "", "");
    }
    ComPtr<TTestObject> Object = TTestObject::Create();
};

} // namespace

TEST_F(ParamsTest, RegisteringANameAgainUpdatesDefaultValueFlagAndDescriptionOnly) {
    Object->SetParamValue("PortNumber", Variant(2));
    Object->AddParam("portnumber", ptString, Variant(3), true, "Other", "New text");
    ASSERT_EQ(Object->Params().size(), 4u);
    const TSettingStruct* p = Object->FindParam("PortNumber");
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->Name, "PortNumber");
    EXPECT_EQ(p->Value.AsInteger(), 3);
    EXPECT_EQ(p->Default.AsInteger(), 3);
    EXPECT_TRUE(p->ReadOnly);
    EXPECT_EQ(p->Description, "New text");
    EXPECT_EQ(p->Type, ptNumber);
    EXPECT_EQ(p->Caption, Utf8ToAnsi("Порт"));
}

TEST_F(ParamsTest, LookupsIgnoreCaseAndMissingNamesGiveNeutralValues) {
    EXPECT_EQ(Object->GetParamAsInteger("portnumber"), 1);
    EXPECT_FALSE(Object->GetParamAsBoolean("DEBUGLOGENABLED"));
    EXPECT_EQ(Object->GetParamAsString("model"), "Orvel");
    EXPECT_TRUE(Object->GetParam("Nope").IsEmpty());
    EXPECT_EQ(Object->GetParamAsInteger("Nope"), 0);
    EXPECT_FALSE(Object->GetParamAsBoolean("Nope"));
    EXPECT_EQ(Object->GetParamAsString("Nope"), "");
    EXPECT_EQ(Object->FindParam("Port"), nullptr) << "a prefix is not the name";
    Object->SetParamValue("Nope", Variant(1));
    EXPECT_EQ(Object->Params().size(), 4u);
}

TEST_F(ParamsTest, TypedGettersConvertAndRefuseWhatCannotBe) {
    Object->SetParamValue("PortNumber", Variant(W("12")));
    EXPECT_EQ(Object->GetParamAsInteger("PortNumber"), 12);
    Object->SetParamValue("PortNumber", Variant(W("COM1")));
    EXPECT_THROW(Object->GetParamAsInteger("PortNumber"), EConversionError);
    Object->SetParamValue("DebugLogEnabled", Variant(true));
    EXPECT_EQ(Object->GetParamAsString("DebugLogEnabled"), "True");
}

TEST_F(ParamsTest, DefaultsStayAndCanBeRestored) {
    Object->SetParamValue("PortNumber", Variant(4));
    EXPECT_EQ(Object->GetParam("PortNumber").AsInteger(), 4);
    EXPECT_EQ(Object->GetParam("PortNumber", true).AsInteger(), 1);
    Object->ResetParamsToDefaults();
    EXPECT_EQ(Object->GetParam("PortNumber").AsInteger(), 1);
}

TEST(ParamTypeNames, AreTheHostsNames) {
    EXPECT_EQ(TBaseObject::ParamTypeName(0), "Number");
    EXPECT_EQ(TBaseObject::ParamTypeName(1), "String");
    EXPECT_EQ(TBaseObject::ParamTypeName(2), "Date");
    EXPECT_EQ(TBaseObject::ParamTypeName(3), "Boolean");
    EXPECT_EQ(TBaseObject::ParamTypeName(4), "");
}

TEST_F(ParamsTest, SettingsArrayDescribesEveryParameterInTableOrder) {
    Variant out = Object->GetSettingsArray();
    ArrayReader outer(out.Raw());
    ASSERT_EQ(outer.Count(), 1);
    Variant table = outer.Item(0);
    ArrayReader a(table.Raw());
    ASSERT_EQ(a.Dims(), 2u);
    EXPECT_EQ(a.Lower(1), 0);
    EXPECT_EQ(a.Upper(1), 6);
    EXPECT_EQ(a.Lower(2), 0);
    EXPECT_EQ(a.Upper(2), 3);
    EXPECT_EQ(U8(a.Item(0, 0).AsWide()), "PortNumber");
    EXPECT_EQ(a.Item(1, 0).Type(), VT_I4);
    EXPECT_EQ(U8(a.Item(2, 0).AsWide()), "Number");
    EXPECT_EQ(U8(a.Item(5, 0).AsWide()), "Порт");
    EXPECT_EQ(U8(a.Item(2, 1).AsWide()), "Boolean");
    EXPECT_EQ(U8(a.Item(6, 1).AsWide()), "Write\r\nthe log");
    EXPECT_EQ(a.Item(4, 2).Type(), VT_BOOL);
    EXPECT_TRUE(a.Item(4, 2).AsBoolean());
    EXPECT_EQ(U8(a.Item(3, 2).AsWide()), "Orvel");
    EXPECT_EQ(U8(a.Item(2, 3).AsWide()), "");
}

TEST_F(ParamsTest, SettingsArrayHandedBackChangesValuesOfKnownNamesOnly) {
    Variant out = Object->GetSettingsArray();
    Variant table = ArrayReader(out.Raw()).Item(0);
    // Change values in the host's copy and add an unknown name, then hand it back.
    SAFEARRAY* a = table.Get()->parray;
    auto put = [&](LONG i, LONG j, Variant v) {
        LONG idx[2] = {i, j};
        ASSERT_EQ(SafeArrayPutElement(a, idx, v.Get()), S_OK);
    };
    put(1, 0, Variant(W("7")));
    put(1, 2, Variant(W("changed although read-only")));
    put(0, 3, Variant(W("Unknown")));
    put(1, 3, Variant(5));
    EXPECT_EQ(Object->ApplySettingsArray(MakeVariantArray({table})), 0);
    EXPECT_EQ(Object->GetParam("PortNumber").Type(), VT_BSTR) << "values are taken as given";
    EXPECT_EQ(Object->GetParamAsInteger("PortNumber"), 7);
    EXPECT_EQ(Object->GetParamAsString("Model"), "changed although read-only");
    EXPECT_EQ(Object->Params().size(), 4u);
    EXPECT_TRUE(Object->GetParam("Odd").IsEmpty());
}

TEST_F(ParamsTest, SettingsThatAreNotATableAreRefused) {
    EXPECT_EQ(Object->ApplySettingsArray(Variant(W("plain"))), 1004);
    EXPECT_THROW(Object->ApplySettingsArray(MakeVariantArray({Variant(1)})), EInputError);
    EXPECT_THROW(Object->ApplySettingsArray(MakeVariantArray({MakeVariantArray({Variant(1)})})), EInputError);
    EXPECT_EQ(Object->GetParamAsInteger("PortNumber"), 1);
}

TEST(DeviceInfoArray, HasFifteenElementsOfTheRecordsTypes) {
    TDeviceInfoStruct info;
    info.DeviceKind = Utf8ToWide("FiscalPrinter");
    info.VersionMajor = 1;
    info.VersionMinor = 3;
    info.VersionBuild = 172;
    info.HasSettingsDialog = true;
    info.MakerAddress = Utf8ToWide("Москва");
    Variant v = DeviceInfoToArray(info);
    ArrayReader a(v.Raw());
    ASSERT_EQ(a.Lower(), 0);
    ASSERT_EQ(a.Upper(), 14);
    EXPECT_EQ(U8(a.Item(0).AsWide()), "FiscalPrinter");
    EXPECT_EQ(a.Item(3).Type(), VT_I4);
    EXPECT_EQ(a.Item(5).AsInteger(), 172);
    EXPECT_EQ(a.Item(7).AsInteger(), 1);
    EXPECT_EQ(a.Item(8).Type(), VT_BOOL);
    EXPECT_EQ(U8(a.Item(14).AsWide()), "Москва");
}

// --- InData readers ---------------------------------------------------------------------------

TEST(InDataReaders, ElementsThatAreMissingEmptyOrNullFallBack) {
    Variant data = MakeVariantArray({Variant(5), Variant::Null(), Variant(W("12")), Variant()});
    EXPECT_TRUE(ArrayItemPresent(data, 0));
    EXPECT_FALSE(ArrayItemPresent(data, 1));
    EXPECT_FALSE(ArrayItemPresent(data, 3));
    EXPECT_FALSE(ArrayItemPresent(data, 4));
    EXPECT_FALSE(ArrayItemPresent(data, -1));
    EXPECT_EQ(ArrayItemAsInteger(data, 0, 7), 5);
    EXPECT_EQ(ArrayItemAsInteger(data, 1, 7), 7);
    EXPECT_EQ(ArrayItemAsInteger(data, 2, 7), 12);
    EXPECT_EQ(ArrayItemAsInteger(data, 9, 7), 7);
    EXPECT_EQ(ArrayItemAsInteger(Variant(), 0, 7), 7);
    EXPECT_EQ(ArrayItemAsInteger(Variant(3), 0, 7), 7) << "a scalar is not an array";
    EXPECT_EQ(ArrayItemAsString(data, 2, "d"), "12");
    EXPECT_EQ(ArrayItemAsString(data, 1, "d"), "d");
    EXPECT_THROW(ArrayItemAsInteger(MakeVariantArray({Variant(W("x"))}), 0, 7), EConversionError);
}

TEST(InDataReaders, ArraysWithOtherBoundsOrShapesDoNotFault) {
    SAFEARRAYBOUND bound{2, 5}; // [5..6]
    SafeArray a(SafeArrayCreate(VT_VARIANT, 1, &bound));
    LONG idx = 6;
    Variant six(6);
    SafeArrayPutElement(a.Get(), &idx, six.Get());
    Variant data = Variant::FromArray(a.Detach());
    EXPECT_FALSE(ArrayItemPresent(data, 0));
    EXPECT_EQ(ArrayItemAsInteger(data, 6, 0), 6);

    VariantArray2D table(2, 2);
    table.Set(0, 0, Variant(1));
    Variant twoD = table.Release();
    EXPECT_FALSE(ArrayItemPresent(twoD, 0));
}

TEST(InDataReaders, DateFallsBackToNow) {
    TFixedClock clock({2026, 12, 7, 12, 0, 0, 0});
    const DATE noon = ToOleDate({2026, 12, 7, 12, 0, 0, 0});
    EXPECT_DOUBLE_EQ(ArrayItemAsDate(MakeVariantArray({}), 0), noon);
    EXPECT_DOUBLE_EQ(ArrayItemAsDate(MakeVariantArray({Variant::FromDate(45000.25)}), 0), 45000.25);
    EXPECT_DOUBLE_EQ(noon, 46363.5);
}

TEST(InDataReaders, TypedReadsTakeTheFallbackForValuesOfOtherTypes) {
    LONG i = 0;
    ReadTypedValue(Variant(W("5")), i, Variant(9));
    EXPECT_EQ(i, 9) << "text is not ordinal";
    ReadTypedValue(Variant(true), i, Variant(9));
    EXPECT_EQ(i, -1);
    ReadTypedValue(Variant::Null(), i, Variant(8));
    EXPECT_EQ(i, 8);

    double d = 0;
    ReadTypedValue(Variant(3), d, Variant(1.5));
    EXPECT_EQ(d, 3.0);
    ReadTypedValue(Variant(W("3")), d, Variant(1.5));
    EXPECT_EQ(d, 1.5);

    CY cy{};
    ReadTypedValue(Variant(2.5), cy, Variant(0));
    EXPECT_EQ(cy.int64, 25000);

    DATE date = 0;
    ReadTypedDate(Variant(45000.0), date, Variant::FromDate(1.0));
    EXPECT_EQ(date, 1.0) << "a double is not a date";
    ReadTypedDate(Variant::FromDate(45000.0), date, Variant::FromDate(1.0));
    EXPECT_EQ(date, 45000.0);

    bool b = false;
    ReadTypedValue(Variant(1), b, Variant(true));
    EXPECT_TRUE(b) << "an integer is not a Boolean";
    ReadTypedValue(Variant(false), b, Variant(true));
    EXPECT_FALSE(b);

    std::string s;
    ReadTypedValue(Variant(5), s, Variant(W("fallback")));
    EXPECT_EQ(s, "fallback");
    ReadTypedValue(Variant(W("Кассир")), s, Variant(W("fallback")));
    EXPECT_EQ(s, Utf8ToAnsi("Кассир"));
}
