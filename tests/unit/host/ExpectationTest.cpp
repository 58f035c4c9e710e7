#include "Expectation.h"
#include "ScenarioReader.h"

#include "framework/uCommonUtils.h"

#include <gtest/gtest.h>

using namespace host;

namespace {

std::optional<std::string> MatchJson(const std::string& expected, const Variant& actual) {
    return Match(ParseValue(expected, ValueContext::Pattern), actual.Raw());
}

Variant Table() {
    VariantArray2D table(2, 2);
    table.Set(0, 0, Variant::FromUtf8("A"));
    table.Set(1, 0, Variant(1));
    table.Set(0, 1, Variant::FromUtf8("B"));
    table.Set(1, 1, Variant(2));
    return table.Release();
}

} // namespace

TEST(Expectations, NumbersMatchByValueUnlessTyped) {
    EXPECT_FALSE(MatchJson("5", Variant::FromI2(5)));
    EXPECT_FALSE(MatchJson("5", Variant(5.0)));
    EXPECT_FALSE(MatchJson("2.5", Variant(2.5)));
    EXPECT_TRUE(MatchJson(R"({"i4": 5})", Variant::FromI2(5)));
    EXPECT_TRUE(MatchJson("5", Variant::FromUtf8("5")));
    CY cy;
    cy.int64 = 1234500;
    EXPECT_FALSE(MatchJson(R"({"cy": "123.45"})", Variant::FromCurrency(cy)));
    EXPECT_TRUE(MatchJson(R"({"cy": "123.4501"})", Variant::FromCurrency(cy)));
    EXPECT_FALSE(MatchJson("123.45", Variant::FromCurrency(cy)));
}

TEST(Expectations, DatesMatchToTheMillisecond) {
    DATE noon = 46363.5;
    EXPECT_FALSE(MatchJson(R"({"date": "2026-12-07T12:00:00"})", Variant::FromDate(noon)));
    EXPECT_FALSE(MatchJson(R"({"date": "2026-12-07T12:00:00"})", Variant::FromDate(noon + 0.0004 / 86400)));
    EXPECT_TRUE(MatchJson(R"({"date": "2026-12-07T12:00:00"})", Variant::FromDate(noon + 1.0 / 86400)));
    EXPECT_TRUE(MatchJson(R"({"date": "2026-12-07T12:00:00"})", Variant(noon)));
}

TEST(Expectations, TwoDimensionalMismatchSaysWhere) {
    EXPECT_FALSE(MatchJson(R"({"array2d": [["A", "B"], [1, 2]]})", Table()));
    EXPECT_FALSE(MatchJson(R"({"rows": [["A", 1], ["B", 2]]})", Table()));
    EXPECT_EQ(MatchJson(R"({"rows": [["A", 1], ["B", 3]]})", Table()), "(1, 1): expected 3, got 2 (VT_I4)");
    // Given item by item where attribute by attribute was meant: caught at the first element.
    EXPECT_EQ(MatchJson(R"({"array2d": [["A", 1], ["B", 2]]})", Table()), "(0, 1): expected 1, got 'B' (VT_BSTR)");
    // Another shape: the message shows the whole expectation.
    auto shape = MatchJson(R"({"array2d": [["A", "B"]]})", Table());
    ASSERT_TRUE(shape);
    EXPECT_EQ(shape->rfind("expected {\"array2d\":", 0), 0u) << *shape;
    EXPECT_TRUE(MatchJson(R"(["A", "B"])", Table()));
    EXPECT_FALSE(MatchJson(R"({"type": "array"})", Table()));
}

TEST(Expectations, ArraysAndHelpers) {
    Variant error = MakeVariantArray({Variant(1004), Variant::FromUtf8("Ошибка входных параметров команды")});
    EXPECT_FALSE(MatchJson(R"([1004, {"contains": "входных"}])", error));
    EXPECT_FALSE(MatchJson(R"({"prefix": [1004]})", error));
    EXPECT_TRUE(MatchJson(R"([1004])", error));
    EXPECT_TRUE(MatchJson(R"({"prefix": [1004, {"any": true}, {"any": true}]})", error));
    EXPECT_TRUE(MatchJson(R"({"array": [1004, {"any": true}], "lbound": 1})", error));
    EXPECT_EQ(MatchJson(R"([1004, {"type": "i4"}])", error),
              "(1): expected {\"type\":\"i4\"}, got 'Ошибка входных параметров команды' (VT_BSTR)");
    EXPECT_FALSE(MatchJson(R"({"empty": true})", Variant()));
    EXPECT_TRUE(MatchJson(R"({"empty": true})", Variant::Null()));
    EXPECT_FALSE(MatchJson("null", Variant::Null()));

    // Values behind a Variant reference are compared, not the reference.
    Variant target(true);
    VARIANT ref;
    ref.vt = VT_BYREF | VT_VARIANT;
    ref.pvarVal = target.Get();
    EXPECT_FALSE(Match(ParseValue("true", ValueContext::Pattern), ref));
}
