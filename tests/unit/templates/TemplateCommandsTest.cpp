// The template commands of a fiscal register: the process-wide store behind UploadTemplate and
// DownloadTemplate, and PrintTemplateDocument rendering at the receipt's line width.
#include "TemplateTestSupport.h"

#include "fiscal/FiscalTestSupport.h"
#include "templates/uTemplateObj.h"
#include "templates/uTemplateStore.h"

#include <thread>

using namespace tpltest;
using fiscaltest::Command;
using fiscaltest::idDownloadTemplate;
using fiscaltest::idPrintTemplateDocument;
using fiscaltest::idUploadTemplate;

namespace {

// A register that prints on a string.
class TPaperFR : public TBaseFR {
public:
    static ComPtr<TPaperFR> Create() { return CreateComObject<TPaperFR>(); }
    std::string Paper; // UTF-8
    LONG DoPrintText(const std::string& text, WString&) override {
        Paper += AnsiToUtf8(text);
        return ErrNone;
    }
};

Variant Arr(std::initializer_list<Variant> items) { return MakeVariantArray(items); }

const TBlock Line{1, 2, false, {{false, 6, 0, 0, 0, {{"Item", 0}}}, {true, 1, 1, 0, 0, {{"Sum", 1, "NFD=2"}}}}};

class TemplateCommands : public ::testing::Test {
protected:
    ComPtr<TPaperFR> Driver = TPaperFR::Create();
    IDispatch* Disp() { return Driver.Get(); }
};

} // namespace

TEST_F(TemplateCommands, UploadedTemplatesComeBackAndReplaceEachOther) {
    const Variant first = OneBlock(Line);
    ASSERT_TRUE(Command(Disp(), idUploadTemplate, Arr({Variant(101), Variant(W("Чек")), first})).Ok);
    fiscaltest::TCommandAnswer down = Command(Disp(), idDownloadTemplate, Arr({Variant(101)}));
    ASSERT_TRUE(down.Ok);
    const ArrayReader out(down.OutData.Raw());
    EXPECT_EQ(U8(out.Item(0).AsWide()), "Чек");
    EXPECT_EQ(RenderTemplate(out.Item(1), Params({{"S", {{"Item", Variant(W("x"))}}}}), 20),
              RenderTemplate(first, Params({{"S", {{"Item", Variant(W("x"))}}}}), 20));

    ASSERT_TRUE(Command(Disp(), idUploadTemplate, Arr({Variant(101), Variant(W("second")), OneBlock(TBlock{})})).Ok);
    down = Command(Disp(), idDownloadTemplate, Arr({Variant(101)}));
    EXPECT_EQ(U8(ArrayReader(down.OutData.Raw()).Item(0).AsWide()), "second");
    // Another object of the process sees the same store.
    ComPtr<TPaperFR> other = TPaperFR::Create();
    EXPECT_TRUE(Command(other.Get(), idDownloadTemplate, Arr({Variant(101)})).Ok);
}

TEST_F(TemplateCommands, WhatCannotBeATemplateIsNotFound) {
    // The command refuses a text; the store takes it but never hands it out.
    EXPECT_EQ(Command(Disp(), idUploadTemplate, Arr({Variant(102), Variant(W("d")), Variant(W("text"))})).Code(), 1004);
    EXPECT_EQ(Command(Disp(), idDownloadTemplate, Arr({Variant(102)})).Code(), ErrTemplateNotFound);
    EXPECT_EQ(PutTemplate(103, "d", Variant(W("text"))), ErrNone);
    Variant table;
    std::string description;
    EXPECT_EQ(GetTemplate(103, table, description), ErrTemplateNotFound);
    EXPECT_EQ(Command(Disp(), idPrintTemplateDocument, Arr({Params({}), Variant(104), Variant(0)})).Code(),
              ErrTemplateNotFound);
}

TEST_F(TemplateCommands, TheStoreKeepsItsOwnCopy) {
    // An element given by reference is stored as its value, not as a pointer into the caller.
    Variant name = Variant(W("before"));
    VARIANT reference;
    reference.vt = VT_BYREF | VT_VARIANT;
    reference.pvarVal = name.Get();
    VariantArray2D table(1, 1);
    table.Set(0, 0, Variant::CopyOf(reference));
    ASSERT_EQ(PutTemplate(105, "", table.Release()), ErrNone);
    name = Variant(W("after"));
    Variant stored;
    std::string description;
    ASSERT_EQ(GetTemplate(105, stored, description), ErrNone);
    EXPECT_EQ(U8(ArrayReader(stored.Raw()).Item(0, 0).AsWide()), "before");

    // A reference that leads back to itself is refused, in a template and in a parameter table.
    VARIANT loop;
    loop.vt = VT_BYREF | VT_VARIANT;
    loop.pvarVal = &loop;
    VariantArray2D cyclic(1, 1);
    cyclic.Set(0, 0, Variant::CopyOf(loop));
    EXPECT_THROW(PutTemplate(109, "", cyclic.Release()), EDriverError);
    ASSERT_TRUE(Command(Disp(), idUploadTemplate, Arr({Variant(110), Variant(W("d")), OneBlock(Line)})).Ok);
    VariantArray2D values(2, 1);
    values.Set(0, 0, Variant(W("Item")));
    values.Set(1, 0, Variant::CopyOf(loop));
    VariantArray2D params(2, 1);
    params.Set(0, 0, Variant(W("S")));
    params.Set(1, 0, values.Release());
    EXPECT_EQ(Command(Disp(), idPrintTemplateDocument, Arr({params.Release(), Variant(110), Variant(0)})).Code(),
              ErrUnknown);

    // Arrays nested without end are refused.
    Variant deep = Arr({Variant(1)});
    for (int i = 0; i < 100; ++i)
        deep = Arr({deep});
    fiscaltest::TCommandAnswer up = Command(Disp(), idUploadTemplate, Arr({Variant(106), Variant(W("d")), deep}));
    EXPECT_FALSE(up.Ok);
    EXPECT_EQ(up.Code(), ErrUnknown);
}

TEST_F(TemplateCommands, ObjectsOfManyThreadsShareTheStore) {
    std::vector<std::thread> threads;
    for (LONG t = 0; t < 4; ++t) {
        threads.emplace_back([t] {
            for (LONG i = 0; i < 200; ++i) {
                PutTemplate(1000 + (t * 7 + i) % 50, "d", MakeVariantArray({Variant(i)}));
                Variant table;
                std::string description;
                GetTemplate(1000 + i % 50, table, description);
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    Variant table;
    std::string description;
    EXPECT_EQ(GetTemplate(1049, table, description), ErrNone);
}

TEST_F(TemplateCommands, PrintTemplateDocumentRendersAtTheReceiptsWidth) {
    ASSERT_TRUE(Command(Disp(), idUploadTemplate, Arr({Variant(107), Variant(W("d")), OneBlock(Line)})).Ok);
    const Variant params = Params({{"S", {{"Item", Variant(W("Хлеб")), }, {"Sum", Variant(12.5)}}},
                                   {"S", {{"Item", Variant(W("Молоко 3,2%"))}}}});
    fiscaltest::TCommandAnswer printed = Command(Disp(), idPrintTemplateDocument, Arr({params, Variant(107), Variant(0)}));
    ASSERT_TRUE(printed.Ok) << printed.Text();
    EXPECT_TRUE(printed.OutData.IsEmpty());
    // MaxReceiptRowLength of a fiscal register is 24 until the driver says otherwise.
    const std::string gap(13, ' ');
    EXPECT_EQ(Driver->Paper, "Хлеб  " + gap + "12,50\r\n" + "Молоко" + gap + "12,50\r\n" + " 3,2% " + std::string(18, ' ') +
                                 "\r\n");
}

TEST_F(TemplateCommands, ABrokenTemplateFailsTheCommandWithItsMessage) {
    const TBlock zeroWidth{1, 1, false, {{false, 0, 0, 0, 0, {{"A", 0}}}}};
    ASSERT_TRUE(Command(Disp(), idUploadTemplate, Arr({Variant(108), Variant(W("d")), OneBlock(zeroWidth)})).Ok);
    fiscaltest::TCommandAnswer printed =
        Command(Disp(), idPrintTemplateDocument, Arr({Params({{"S", {{"A", Variant(1)}}}}), Variant(108), Variant(0)}));
    EXPECT_EQ(printed.Code(), ErrUnknown);
    EXPECT_NE(printed.Text().find("нулевой ширины"), std::string::npos) << printed.Text();
    // An uploaded element that does not convert to its kind.
    TColumn abc{false, 10, 0, 0, 0, {{"A", 0}}};
    abc.LengthValue = Variant(W("abc"));
    ASSERT_TRUE(Command(Disp(), idUploadTemplate, Arr({Variant(109), Variant(W("d")), OneBlock({1, 1, false, {abc}})})).Ok);
    EXPECT_EQ(Command(Disp(), idPrintTemplateDocument, Arr({Params({{"S", {}}}), Variant(109), Variant(0)})).Code(),
              ErrUnknown);
    EXPECT_TRUE(Driver->Paper.empty());
}
