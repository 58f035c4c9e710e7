// Owners of automation resources, text conversions, name comparison and array helpers.
#include "FrameworkTestSupport.h"

#include "framework/uVInfo.h"

using namespace fwtest;

TEST(Text, ConversionsRoundTripThroughEveryEncoding) {
    const std::string utf8 = "Чек №1 — ok";
    const WString wide = Utf8ToWide(utf8);
    EXPECT_EQ(wide.size(), 11u);
    EXPECT_EQ(WideToUtf8(wide), utf8);
    const std::string ansi = Utf8ToAnsi("Чек ёЁ");
    EXPECT_EQ(ansi, "\xD7\xE5\xEA \xB8\xA8") << "Cyrillic in code page 1251";
    EXPECT_EQ(AnsiToUtf8(ansi), "Чек ёЁ");
    EXPECT_EQ(WideToAnsi(AnsiToWide(ansi)), ansi);
    EXPECT_TRUE(Utf8ToWide("").empty());
}

TEST(Text, ShortStringsKeep255Characters) {
    EXPECT_EQ(ToShortString(std::string(300, 'a')).size(), 255u);
    EXPECT_EQ(ToShortString("abc"), "abc");
}

TEST(Text, NamesCompareCaseInsensitivelyOverTheFullLength) {
    EXPECT_TRUE(SameName("OpenCheck", "OPENCHECK"));
    EXPECT_TRUE(SameName("", ""));
    EXPECT_FALSE(SameName("OpenCheck", "OpenChec"));
    EXPECT_FALSE(SameName("", "a"));
    EXPECT_TRUE(SameName(Utf8ToAnsi("Кассир_1"), Utf8ToAnsi("кАССИР_1")));
    EXPECT_TRUE(SameName(Utf8ToAnsi("ёлка"), Utf8ToAnsi("ЁЛКА")));
    EXPECT_FALSE(SameName(Utf8ToAnsi("Кассир"), Utf8ToAnsi("Касса")));
    EXPECT_TRUE(SameName("Tax-Group 1", "TAX-GROUP 1"));
}

TEST(VariantOwner, CopiesAreDeepAndMovesLeaveEmpty) {
    Variant a(W("text"));
    Variant b = a;
    EXPECT_NE(a.Raw().bstrVal, b.Raw().bstrVal);
    EXPECT_EQ(b.AsWide(), W("text"));
    Variant c = std::move(a);
    EXPECT_TRUE(a.IsEmpty());
    EXPECT_EQ(c.AsWide(), W("text"));
    b = c;
    b = std::move(c);
    EXPECT_EQ(b.AsWide(), W("text"));

    VARIANT raw = b.Detach();
    EXPECT_TRUE(b.IsEmpty());
    Variant adopted = Variant::TakeOver(raw);
    EXPECT_EQ(raw.vt, VT_EMPTY);
    EXPECT_EQ(adopted.AsWide(), W("text"));

    VARIANT* out = adopted.Receive();
    EXPECT_EQ(out->vt, VT_EMPTY) << "Receive frees the old value first";
}

TEST(VariantOwner, ConversionsFollowTheAutomationRules) {
    EXPECT_EQ(Variant(W("42")).AsInteger(), 42);
    EXPECT_EQ(Variant(2.5).AsInteger(), 2) << "halves round to even";
    EXPECT_EQ(Variant(3.5).AsInteger(), 4);
    EXPECT_TRUE(Variant(W("True")).AsBoolean());
    EXPECT_EQ(Variant(W("1,25")).AsDouble(), 1.25);
    EXPECT_EQ(Variant(true).AsAnsi(), "True");
    EXPECT_EQ(Variant().AsAnsi(), "");
    try {
        Variant(W("abc")).AsInteger();
        FAIL() << "no conversion error";
    } catch (const EConversionError& e) {
        EXPECT_EQ(e.Code(), DISP_E_TYPEMISMATCH);
        EXPECT_STREQ(e.ClassName(), "EConversionError");
    }
}

TEST(BStrOwner, OwnsAndHandsOut) {
    BStr s = BStr::FromUtf8("Сумма");
    EXPECT_EQ(s.Length(), 5u);
    EXPECT_EQ(WideToUtf8(s.Text()), "Сумма");
    BSTR raw = s.Detach();
    EXPECT_EQ(s.Get(), nullptr);
    SysFreeString(raw);
    BStr empty;
    EXPECT_TRUE(empty.Text().empty());
    *empty.Receive() = SysAllocString(W("x").c_str());
    EXPECT_EQ(empty.Length(), 1u);
}

TEST(ComPtrOwner, CountsReferences) {
    ComPtr<TTestObject> a = TTestObject::Create();
    {
        ComPtr<TTestObject> b = a;
        EXPECT_EQ(a->AddRef(), 3u);
        a->Release();
    }
    const LONG live = ComObjectCount();
    TTestObject* raw = a.Detach();
    ComPtr<TTestObject> c = ComPtr<TTestObject>::Attach(raw);
    c.Reset();
    EXPECT_EQ(ComObjectCount(), live - 1) << "the last release destroys the object";
}

TEST(Arrays, TwoDimensionalIndicesAreInDimensionOrder) {
    VariantArray2D table(3, 2);
    table.Set(2, 1, Variant(21));
    table.Set(0, 1, Variant(1));
    Variant v = table.Release();
    ArrayReader a(v.Raw());
    EXPECT_EQ(a.Dims(), 2u);
    EXPECT_EQ(a.Count(1), 3);
    EXPECT_EQ(a.Count(2), 2);
    EXPECT_EQ(a.Item(2, 1).AsInteger(), 21);
    EXPECT_EQ(a.Item(0, 1).AsInteger(), 1);
    EXPECT_TRUE(a.Item(1, 0).IsEmpty());
    EXPECT_THROW(a.Item(3, 0), EComError);
    // One index for two dimensions would have the runtime read the second from past the list.
    EXPECT_THROW(a.Item(0), EInputError);
    EXPECT_THROW(ArrayReader(MakeVariantArray({Variant(1)}).Raw()).Item(0, 0), EInputError);
}

TEST(Arrays, ReaderHandlesOtherBoundsTypedElementsAndReferences) {
    SAFEARRAYBOUND bound{2, -1};
    SafeArray strings(SafeArrayCreate(VT_BSTR, 1, &bound));
    LONG idx = 0;
    BStr s(W("zero"));
    ASSERT_EQ(SafeArrayPutElement(strings.Get(), &idx, s.Get()), S_OK);
    Variant v = Variant::FromArray(strings.Detach(), VT_BSTR);
    ArrayReader a(v.Raw());
    EXPECT_EQ(a.Lower(), -1);
    EXPECT_EQ(a.Upper(), 0);
    EXPECT_EQ(a.Item(0).Type(), VT_BSTR);
    EXPECT_EQ(a.Item(0).AsWide(), W("zero"));

    // An array behind a reference reads the same.
    VARIANT ref;
    VariantInit(&ref);
    ref.vt = VT_BYREF | VT_ARRAY | VT_BSTR;
    ref.pparray = &v.Get()->parray;
    EXPECT_EQ(ArrayReader(ref).Item(0).AsWide(), W("zero"));

    EXPECT_FALSE(ArrayReader::IsArray(Variant(1).Raw()));
    EXPECT_THROW(ArrayReader(Variant(1).Raw()), EInputError);
}

// The host's label is only a claim: elements are read as the array holds them, and a label naming
// others is refused (copied by the label, an element would overrun its slot or become a pointer).
TEST(Arrays, ElementsAreReadByTheArraysOwnTypeAndAContradictingLabelIsRefused) {
    const auto vector = [](VARTYPE type, const Variant& item) {
        SafeArray array(SafeArrayCreateVector(type, 0, 1));
        LONG idx = 0;
        Variant value = item.ChangeType(type == VT_VARIANT ? VARTYPE{VT_I4} : type);
        void* slot = type == VT_VARIANT ? static_cast<void*>(value.Get())
                     : type == VT_BSTR  ? static_cast<void*>(value.Get()->bstrVal)
                                        : static_cast<void*>(&value.Get()->llVal);
        EXPECT_EQ(SafeArrayPutElement(array.Get(), &idx, slot), S_OK);
        return array;
    };
    // An array built by hand from a descriptor: no element type, no features, four-byte elements.
    LONG handElement = 7;
    SAFEARRAY hand{};
    hand.cDims = 1;
    hand.fFeatures = FADF_AUTO;
    hand.cbElements = sizeof(LONG);
    hand.pvData = &handElement;
    hand.rgsabound[0] = SAFEARRAYBOUND{1, 0};
    const struct {
        VARTYPE Holds, Label; // Holds VT_EMPTY: the hand-built array
        bool Read;
    } cases[] = {
        {VT_VARIANT, VT_VARIANT, true}, {VT_VARIANT, VT_I4, false}, {VT_I4, VT_I4, true},
        {VT_I4, VT_INT, true},          {VT_I4, VT_BSTR, false},    {VT_I4, VT_VARIANT, false},
        {VT_I2, VT_I4, false},          {VT_BSTR, VT_BSTR, true},   {VT_BSTR, VT_DISPATCH, false},
        {VT_EMPTY, VT_I4, true},        {VT_EMPTY, VT_R8, false},   {VT_EMPTY, VT_BSTR, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "holds " << c.Holds << ", labelled " << c.Label);
        SafeArray made = c.Holds == VT_EMPTY ? SafeArray() : vector(c.Holds, Variant(7));
        VARIANT labelled;
        VariantInit(&labelled);
        labelled.vt = static_cast<VARTYPE>(VT_ARRAY | c.Label);
        labelled.parray = made.Get() ? made.Get() : &hand;
        if (!c.Read) {
            EXPECT_THROW(ArrayReader{labelled}, EInputError);
            continue;
        }
        const ArrayReader reader(labelled);
        EXPECT_EQ(reader.Item(0).AsInteger(), 7);
    }
}

TEST(Exceptions, DescribeGivesClassAndMessage) {
    try {
        throw EInputError();
    } catch (...) {
        TCaughtError e = DescribeCurrentException();
        EXPECT_EQ(e.ClassName, "EInputError");
        EXPECT_EQ(e.Message, "Ошибка входных параметров команды");
    }
    try {
        throw 5;
    } catch (...) {
        EXPECT_EQ(DescribeCurrentException().Message, "Неизвестная ошибка");
    }
}

TEST(ModuleVersion, OwnModuleCarriesTheBuildsVersionAndOtherFilesNone) {
    const TFileVersion own = GetFileVersion("");
    EXPECT_EQ(own.Major, ORVEL_VERSION_MAJOR);
    EXPECT_EQ(own.Minor, ORVEL_VERSION_MINOR);
    EXPECT_EQ(own.Build, ORVEL_VERSION_TWEAK);
    const TFileVersion none = GetFileVersion(OwnModuleFileName() + ".missing");
    EXPECT_EQ(none.Major + none.Minor + none.Release + none.Build, 0);
}
