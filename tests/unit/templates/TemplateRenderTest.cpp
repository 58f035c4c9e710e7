// Rendering a template with parameter values: column widths, row counts, layout of a column's
// text, empty blocks, repeated sections, and templates beyond every receipt's size.
#include "TemplateTestSupport.h"

#include "templates/uTemplateErrors.h"
#include "templates/uTemplateLib.h"
#include "templates/uTemplateObj.h"

using namespace tpltest;

namespace {

std::string Separator() {
    WCHAR buffer[8] = {};
    GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, buffer, 8);
    return U8(buffer);
}

std::vector<std::string> Render(const Variant& table, const Variant& params, LONG width) {
    return RowsOf(RenderTemplate(table, params, width));
}

} // namespace

TEST(TemplateRender, WorkedExample) {
    TBlock block{1, 2, false,
                 {{false, 8, 0, 0, 0, {{"Item", 0}}},
                  {true, 1, 1, 0, 0, {{"Sum", 1, "NFD=2", true, "="}}}}};
    const auto rows = Render(OneBlock(block), Params({{"S", {{"Item", Variant(W("Хлеб ржаной"))}, {"Sum", Variant(12.5)}}}}),
                             20);
    EXPECT_EQ(rows, (std::vector<std::string>{"Хлеб ржа      =12" + Separator() + "50", "ной                 "}));
}

TEST(TemplateRender, ResizableColumnsShareWhatTheFixedOnesLeave) {
    struct TCase {
        LONG Width;
        std::vector<std::pair<LONG, bool>> Columns; // Length, Resizable
        std::vector<LONG> Expected;
    };
    const TCase cases[] = {
        {40, {{10, false}, {1, true}, {1, true}}, {10, 15, 15}},
        {40, {{10, false}, {1, true}, {1, true}, {1, true}}, {10, 10, 10, 10}},
        {40, {{10, false}, {1, true}, {1, true}, {2, true}}, {10, 8, 8, 14}}, // 7.5 rounds to 8, 15 capped at 14
        {15, {{1, true}}, {20}},                                             // sections are at least 20 wide
        {21, {{1, true}}, {21}},
        {20, {{7, false}, {1, true}, {1, true}}, {7, 6, 6}}, // 6.5 is a true half: to the even 6
    };
    for (const TCase& c : cases) {
        TBlock block;
        for (const auto& [length, resizable] : c.Columns)
            block.Columns.push_back({resizable, length});
        TTemplateObj model;
        model.Build(OneBlock(block), c.Width);
        model.Sections.SetValues(Params({{"S", {}}}));
        const TCompositeFieldList& columns = model.Sections[0].CompositeStrings[0].CompositeFields;
        std::vector<LONG> widths;
        for (size_t i = 0; i < columns.Count(); ++i)
            widths.push_back(columns[i].EffectiveLength);
        EXPECT_EQ(widths, c.Expected) << "width " << c.Width;
    }
}

TEST(TemplateRender, LayoutOfAColumnsText) {
    struct TCase {
        const char* Text;
        LONG Width, Rows, Placement, Vertical, Horizontal;
        const char* Expected;
    } const cases[] = {
        {"abcdefghijkl", 5, 2, 0, 0, 0, "abcdefghij"}, // wrap keeps the first rows' worth
        {"abcdefghijkl", 5, 2, 0, 0, 1, "cdefghijkl"}, // right aligned keeps the end
        {"abcdef", 4, 1, 1, 0, 2, "bcde"},             // cut to one row from the middle
        {"12345", 4, 1, 2, 0, 0, "####"},              // an over-long text is marked
        {"123", 4, 1, 2, 0, 1, " 123"},
        {"ab", 2, 3, 0, 2, 0, "  ab  "},               // centred: the odd row goes below
        {"ab", 2, 4, 0, 2, 0, "  ab    "},
        {"ab", 2, 3, 0, 1, 0, "    ab"},               // bottom
        {"ab", 5, 1, 0, 0, 2, " ab  "},                // centre: the odd space to the right
        {"abcdefg", 3, 2, 0, 0, 0, "abcdef"},
        {"abcd", 3, 2, 0, 0, 1, "abc  d"},             // the last chunk is right aligned too
    };
    for (const TCase& c : cases)
        EXPECT_EQ(U8(LayoutBlock(W(c.Text), c.Width, c.Rows, c.Placement, c.Vertical, c.Horizontal)), c.Expected)
            << c.Text << " in " << c.Width << "x" << c.Rows;
}

TEST(TemplateRender, EmptyBlocksPrintOnlyWhenAsked) {
    TBlock block{1, 1, false, {{true, 1, 0, 0, 0, {{"X", 0, "", true, "", "", Variant(W("template"))}}}}};
    const Variant noX = Params({{"S", {{"Other", Variant(1)}}}});
    EXPECT_TRUE(Render(OneBlock(block), noX, 20).empty());
    block.PrintEmptyData = true;
    EXPECT_EQ(Render(OneBlock(block), noX, 20), std::vector<std::string>{"template            "});
    // A block without columns prints its MinRows empty rows.
    EXPECT_EQ(Render(OneBlock(TBlock{2, 0, false, {}}), noX, 20), (std::vector<std::string>{"", ""}));
}

TEST(TemplateRender, ASectionPrintedAgainKeepsValuesItWasNotGiven) {
    TBlock block{1, 1, false, {{false, 10, 0, 0, 0, {{"A", 0}}}, {false, 10, 0, 0, 0, {{"B", 0}}}}};
    const Variant params = Params({{"S", {{"A", Variant(W("a1"))}, {"B", Variant(W("b1"))}}},
                                   {"unknown", {}},
                                   {"s", {{"a", Variant(W("a2"))}}}});
    EXPECT_EQ(Render(OneBlock(block), params, 20),
              (std::vector<std::string>{"a1        b1        ", "a2        b1        "}));
    // The last of two values for a field wins; a block whose only parameter gets no value on a
    // later printing is dropped there.
    const TBlock single{1, 1, false, {{false, 20, 0, 0, 0, {{"A", 0}}}}};
    EXPECT_EQ(Render(OneBlock(single), Params({{"S", {{"A", Variant(W("x"))}, {"a", Variant(W("y"))}}}, {"S", {}}}), 20),
              std::vector<std::string>{"y" + std::string(19, ' ')});
}

TEST(TemplateRender, AModelCopiesOnlyItemsOfItsOwnClass) {
    TTemplateObj source, copy;
    source.Build(OneBlock(TBlock{1, 1, false, {{false, 5, 0, 0, 0, {{"A", 0}}}}}), 20);
    copy.Sections.CopyFrom(source.Sections, nullptr);
    copy.Sections.SetValues(Params({{"S", {{"A", Variant(W("x"))}}}}));
    EXPECT_EQ(U8(copy.Sections.GetText()), "x    \r\n");
    const TSectionItem& section = source.Sections[0];
    TFieldItem field;
    try {
        field.CopyFrom(section, nullptr);
        ADD_FAILURE() << "a section copied into a field";
    } catch (const ETemplateError& e) {
        EXPECT_STREQ(e.what(), "Не перекрыт");
    }
}

TEST(TemplateRender, StyleCodesSurroundTheColumn) {
    TColumn styled{false, 4, 0, 0, 0, {{"A", 0}}};
    styled.Bold = styled.Italic = styled.Underline = styled.Inversion = true;
    const TColumn plain{false, 2, 0, 0, 0, {}};
    const TStyleCodes codes{"<b>", "</b>", "<i>", "</i>", "<u>", "</u>", "<v>", "</v>"};
    const Variant table = OneBlock(TBlock{1, 1, false, {styled, plain}});
    const Variant params = Params({{"S", {{"A", Variant(W("x"))}}}, {"S", {{"A", Variant(W("y"))}}}});
    EXPECT_EQ(U8(RenderTemplate(table, params, 20, codes)),
              "<b><i><u><v>x   </b></i></u></v>  \r\n<b><i><u><v>y   </b></i></u></v>  \r\n");
    // What the size limit counts is the text, every character once.
    TTemplateObj model;
    model.Build(table, 20);
    for (size_t i = 0; i < codes.size(); ++i)
        model.Sections.WideStyleCodes[i] = W(codes[i]);
    model.Sections.SetValues(params);
    EXPECT_EQ(model.Spent(), model.Sections.GetText().size());
}

TEST(TemplateRender, BrokenOrHugeTemplatesFailCleanly) {
    const Variant some = Params({{"S", {{"A", Variant(W("x"))}}}});
    TBlock zeroWidth{1, 1, false, {{false, 0, 0, 0, 0, {{"A", 0}}}}};
    TBlock zeroShare{1, 1, false, {{false, 10, 0, 0, 0, {{"A", 0}}}, {true, 0, 0, 0, 0, {}}}};
    TBlock wideColumn{1, 1, false, {{false, 0x7FFFFFFF, 0, 0, 0, {{"A", 0}}}}};
    TBlock manyRows{1000000000, 0, false, {}};
    TBlock hugeNumber{1, 1, false, {{true, 1, 0, 0, 0, {{"A", 1, "ND=2000000000"}}}}};
    TBlock hugeDecimals{1, 1, false, {{true, 1, 0, 0, 0, {{"A", 1, "ЧДЦ=2000000000"}}}}};
    for (const TBlock* block : {&zeroWidth, &zeroShare, &wideColumn, &manyRows, &hugeNumber, &hugeDecimals})
        EXPECT_THROW(RenderTemplate(OneBlock(*block), some, 20), ETemplateError);
    TBlock fine{1, 1, false, {{true, 1, 0, 0, 0, {{"A", 0}}}}};
    EXPECT_THROW(RenderTemplate(OneBlock(fine), some, 100000000), ETemplateError);
    // A parameter table that prints a wide section over and over stops at the size limit.
    std::vector<std::pair<std::string, TValues>> printings(20000, {"S", {}});
    EXPECT_THROW(RenderTemplate(OneBlock(TBlock{1, 1, true, {fine.Columns}}), Params(printings), 4096),
                 ETemplateError);
    // Tables of another shape.
    EXPECT_THROW(RenderTemplate(Variant(W("text")), some, 20), ETemplateError);
    EXPECT_THROW(RenderTemplate(OneBlock(fine), MakeVariantArray({Variant(1)}), 20), ETemplateError);
    EXPECT_THROW(RenderTemplate(OneBlock(fine), Params({{"S", {{"A", MakeVariantArray({Variant(1)})}}}}), 20),
                 EDriverError);
}
