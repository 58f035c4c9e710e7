// The XML reader, natively against the platform layer's DOM and under Wine against the system's:
// which elements it selects, how it reads attributes, and the built-in template.
#include "TemplateTestSupport.h"

#include "templates/uTemplateErrors.h"
#include "templates/uTemplateLib.h"
#include "templates/uTemplateObj.h"
#include "templates/uTemplateStore.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

using namespace tpltest;

namespace {

class TemplateXml : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr))); }
    void TearDown() override { CoUninitialize(); }

    // The template table of an XML text (Empty when there is none); Number as it came back.
    Variant Read(const std::string& xml, LONG number = -1) {
        Number = number;
        Variant full;
        LoadTemplateXml(W(xml), Number, Description, full);
        if (full.IsEmpty())
            return full;
        EXPECT_EQ(ArrayReader(full.Raw()).Count(), 3);
        EXPECT_EQ(ArrayReader(full.Raw()).Item(0).AsInteger(), Number);
        return ArrayReader(full.Raw()).Item(2);
    }
    LONG Number = -1;
    WString Description;
};

const char* const TwoFields = R"(<?xml version="1.0"?>
<Template Number="12" Description="Накладная">
  <Section Name="Goods" Fixed="true">
    <Group>
      <CompositeString MinRows="1" MaxRows="2" PrintEmptyData="TRUE">
        <CompositeField Length="x7" Resizable="True" Bold="1" Italic="tRuE" Size="3">
          <Wrapper><Field Name="A" IsParameter="TRUE" Value="a"/></Wrapper>
          <Field Name="B" IsParameter="true" Prefix="[" Postfix="]"/>
          <Field Name="C" IsParameter="1" Type="1" Value="7.50"/>
          <Field Name="D" IsParameter="0"/>
          <Field Name="E"/>
        </CompositeField>
      </CompositeString>
    </Group>
  </Section>
</Template>)";

} // namespace

TEST_F(TemplateXml, SelectsDescendantsAndReadsAttributesByTheirRules) {
    const Variant table = Read(TwoFields);
    ASSERT_FALSE(table.IsEmpty());
    EXPECT_EQ(Number, 12);
    EXPECT_EQ(U8(Description), "Накладная");
    TTemplateObj model;
    model.Build(table, 20);
    ASSERT_EQ(model.Sections.Count(), 1u);
    const TSectionItem& section = model.Sections[0];
    EXPECT_EQ(U8(section.Name), "Goods");
    EXPECT_TRUE(section.Fixed);
    const TCompositeStringItem& block = section.CompositeStrings[0];
    EXPECT_TRUE(block.PrintEmptyData);
    EXPECT_EQ(block.MaxRows, 2);
    const TCompositeFieldItem& column = block.CompositeFields[0];
    EXPECT_EQ(column.Length, 0); // not a number
    EXPECT_TRUE(column.Resizable);
    EXPECT_FALSE(column.Bold); // only the word True sets a flag
    EXPECT_TRUE(column.Italic);
    EXPECT_TRUE(column.Size);
    ASSERT_EQ(column.Fields.Count(), 5u); // a Field inside another element is selected too
    EXPECT_EQ(U8(column.Fields[0].Name), "A");
    for (size_t i = 0; i < 3; ++i)
        EXPECT_TRUE(column.Fields[i].IsParameter) << i;
    EXPECT_FALSE(column.Fields[3].IsParameter);
    EXPECT_FALSE(column.Fields[4].IsParameter); // absent: not a parameter, not a broken template
    EXPECT_EQ(U8(column.Fields[1].Prefix + column.Fields[1].Postfix), "[]");
    EXPECT_EQ(U8(column.Fields[2].Value), "7,5");
}

TEST_F(TemplateXml, NumberAndWhatGivesNoTemplate) {
    Read(TwoFields, 5);
    EXPECT_EQ(Number, 5); // a number given is kept
    EXPECT_TRUE(Read("<Other/>").IsEmpty());
    EXPECT_TRUE(Read("<Template Number='3'/>").IsEmpty());
    EXPECT_TRUE(Read("not xml at all").IsEmpty());
    EXPECT_TRUE(Read("").IsEmpty());
    // A section without composite strings has no table for them: building it fails.
    const Variant bare = Read("<Template><Section Name='S'/></Template>");
    ASSERT_FALSE(bare.IsEmpty());
    TTemplateObj model;
    EXPECT_THROW(model.Build(bare, 20), ETemplateError);
    // IsParameter is read as text and must be a Boolean when the model is built.
    const Variant yes = Read("<Template><Section><CompositeString><CompositeField>"
                             "<Field IsParameter='yes'/></CompositeField></CompositeString></Section></Template>");
    TTemplateObj other;
    EXPECT_THROW(other.Build(yes, 20), EDriverError);
}

TEST_F(TemplateXml, ReadsAFileByItsPath) {
    const std::filesystem::path file = std::filesystem::temp_directory_path() / "orvel-template-test.xml";
    {
        std::ofstream out(file, std::ios::binary);
        out << TwoFields;
    }
    LONG number = -1;
    WString description;
    Variant full;
    LoadTemplateXml(AnsiToWide(file.string()), number, description, full);
    std::filesystem::remove(file);
    EXPECT_EQ(number, 12);
    EXPECT_EQ(U8(description), "Накладная");
}

TEST_F(TemplateXml, TheBuiltInTemplateIsNumberZero) {
    Variant table;
    std::string description;
    ASSERT_EQ(GetTemplate(0, table, description), ErrNone);
    EXPECT_EQ(AnsiToUtf8(description), "Служебный документ");
    // An upload under number 0 never replaces it.
    PutTemplate(0, "mine", MakeVariantArray({Variant(1)}));
    ASSERT_EQ(GetTemplate(0, table, description), ErrNone);
    EXPECT_EQ(AnsiToUtf8(description), "Служебный документ");
    const auto rows = RowsOf(RenderTemplate(table,
                                            Params({{"Header", {}},
                                                    {"Line", {{"Key", Variant(W("Касса"))}, {"Value", Variant(W("1"))}}},
                                                    {"Signature", {{"Person", Variant(W("Иванов"))}}}}),
                                            24));
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_EQ(rows[0], "   СЛУЖЕБНЫЙ ДОКУМЕНТ   ");
    EXPECT_EQ(rows[1], std::string(24, '-'));
    EXPECT_EQ(rows[2], "Касса                  1");
    EXPECT_EQ(rows[4], "Подпись: _______________");
    EXPECT_EQ(rows[5], "                (Иванов)");
}
