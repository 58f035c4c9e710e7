#include "EquipmentManager.h"
#include "ScenarioReader.h"
#include "ValuePrinter.h"
#include "Values.h"

#include <gtest/gtest.h>

using namespace host;

namespace {

Variant Build(const std::string& json, Variables& vars) {
    EquipmentManager manager(ManagerConfig{});
    Variant v;
    BuildVariant(ParseValue(json, ValueContext::Input), BuildContext{vars, &manager}, *v.Get());
    return v;
}

Variant Build(const std::string& json) {
    Variables vars;
    return Build(json, vars);
}

} // namespace

TEST(ScenarioVariants, ScalarsKeepTheirTypes) {
    EXPECT_EQ(Build("5").Type(), VT_I4);
    EXPECT_EQ(Build(R"({"i2": 5})").Type(), VT_I2);
    EXPECT_EQ(Build("null").Type(), VT_NULL);
    Variant cy = Build(R"({"cy": "123.45"})");
    ASSERT_EQ(cy.Type(), VT_CY);
    EXPECT_EQ(cy.Raw().cyVal.int64, 1234500);
    EXPECT_EQ(Build(R"({"date": "2026-12-07"})").Type(), VT_DATE);
    Variant text = Build(R"("строка")");
    ASSERT_EQ(text.Type(), VT_BSTR);
    EXPECT_EQ(WideToUtf8(text.AsWide()), "строка");
}

TEST(ScenarioVariants, TwoDimensionalArraysAreIndexedAttributeFirst) {
    Variant table = Build(R"({"rows": [["Хлеб", 1], ["Молоко", 2], ["Сыр", 3]]})");
    ArrayReader reader(table.Raw());
    ASSERT_EQ(reader.Dims(), 2u);
    EXPECT_EQ(reader.Count(1), 2); // attributes
    EXPECT_EQ(reader.Count(2), 3); // items
    EXPECT_EQ(WideToUtf8(reader.Item(0, 2).AsWide()), "Сыр");
    EXPECT_EQ(reader.Item(1, 1).AsInteger(), 2);
    // As the debug log shows it: the item dimension outermost.
    EXPECT_EQ(LogText(table.Raw()), "[(('Хлеб'; 1)('Молоко'; 2)('Сыр'; 3))]");
    EXPECT_EQ(LogText(Build(R"([1, "x", null, [], {"array": [2], "lbound": 1}])").Raw()), "[(1; 'x'; NULL; [()]; [(2)])]");
    Variant shifted = Build(R"({"array": [2], "lbound": 1})");
    EXPECT_EQ(ArrayReader(shifted.Raw()).Lower(), 1);
}

TEST(ScenarioVariants, ElementsAreReadAndChangedInPlace) {
    Variables vars;
    vars.Define("settings") = Build(R"([{"array2d": [["A", "B"], [false, 7]]}, "tail"])");
    Variant copy = Build(R"({"var": "settings", "at": [0, [1, 1]]})", vars);
    EXPECT_EQ(copy.AsInteger(), 7);

    Variant value(true);
    SetAt(*vars.Get("settings").Get(), Path{{0}, {1, 0}}, value.Raw());
    EXPECT_EQ(LogText(vars.Get("settings").Raw()), "[([(('A'; True)('B'; 7))]; 'tail')]");

    Variant out;
    EXPECT_THROW(GetAt(vars.Get("settings").Raw(), Path{{1}, {0}}, *out.Get()), RunError); // 'tail' is no array
    EXPECT_THROW(GetAt(vars.Get("settings").Raw(), Path{{2}}, *out.Get()), RunError);
    EXPECT_THROW(Build(R"({"var": "missing"})", vars), RunError);
}

TEST(ScenarioVariants, ReferenceChainsEndEvenWhenTheyLoop) {
    VARIANT a, b;
    a.vt = VT_BYREF | VT_VARIANT;
    a.pvarVal = &b;
    b.vt = VT_BYREF | VT_VARIANT;
    b.pvarVal = &a;
    const VARIANT& end = Deref(a);
    EXPECT_TRUE(&end == &a || &end == &b);
}
