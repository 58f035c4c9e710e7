// Fiscal receipts through the host's PrintReceipt, checked in the virtual printer's journal and
// fiscal memory.
#include "ReceiptTestSupport.h"

#include <limits>

using namespace fiscaltest;

namespace {

json Args(const std::vector<json>& calls, std::size_t i) { return calls.at(i)["args"]; }

LONG WINAPI ThrowingTotal() { throw EDriverError("сбой"); }

// A table of no columns whose rows run from -2^31 over 2^32 - 1 indices: it holds no element, so
// it costs a host nothing to pass.
Variant NoColumns() {
    SAFEARRAYBOUND bounds[2] = {{0, 0}, {0xFFFFFFFFu, std::numeric_limits<LONG>::min()}};
    return Variant::FromArray(SafeArrayCreate(VT_VARIANT, 2, bounds));
}

} // namespace

TEST_F(ReceiptTest, SaleSendsItemsCommentsAdjustmentsAndTaxesInPrinterUnits) {
    Up();
    Driver->SetParamValue("PrintTaxes", Variant(true));
    std::vector<Variant> bread = Item("Хлеб", 12.345, 2, -5, 1); // a markup of 5.00, tax group 1
    bread.resize(18);
    bread[6] = Str("надбавка");
    bread[17] = Str("свежий\r\nржаной");
    const std::string longName(30, 'A');
    const std::string name = longName + "\r\n" + std::string(15, 'B'); // 45 characters and a break
    const TCommandAnswer answer = Print(
        Table({bread, Item(name.c_str(), 12.355, 1.0625, 1), Item("Соль", 10, 1, 0, -1)}),
        Table({Payment(1, 10, "карта"), Payment(0, 100)}),
        Params(0, true, 0, {Str(""), Str("Магазин"), Str("Спасибо"), Variant(0), Variant(0), Variant(0),
                            Variant::FromDate(0), Str("Иванов")}));
    ASSERT_TRUE(answer.Ok) << answer.Text();

    EXPECT_EQ(Args(Calls("ChangeOpName"), 0), json::parse(R"(["Иванов"])"));
    EXPECT_EQ(Args(Calls("StartReceipt"), 0), json::parse(R"([0, 1, "", "", ""])"));
    const std::vector<json> items = Calls("ItemReceipt");
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(Args(items, 0), json::parse(R"(["Хлеб", " ", " ", "", 1234, 2000, 1])")) << "12.345: half to even";
    EXPECT_EQ(Args(items, 1)[0], longName + "  " + std::string(8, 'B')) << "no break, 40 characters";
    EXPECT_EQ(Args(items, 1)[4], 1236) << "12.355: half to even";
    EXPECT_EQ(Args(items, 1)[5], 1062) << "1062.5 thousandths: half to even";
    const std::vector<json> comments = Calls("CommentReceipt");
    ASSERT_EQ(comments.size(), 3u);
    EXPECT_EQ(Args(comments, 0)[0], std::string(16, ' ') + "Магазин" + std::string(17, ' '));
    EXPECT_EQ(Args(comments, 1)[0], "свежий|ржаной");
    EXPECT_EQ(Args(comments, 2)[0], std::string(16, ' ') + "Спасибо" + std::string(17, ' '));
    const std::vector<json> adjustments = Calls("ComissionReceiptPlus");
    ASSERT_EQ(adjustments.size(), 2u);
    EXPECT_EQ(Args(adjustments, 0), json::parse(R"([0, 0, 500, "надбавка"])")) << "a markup";
    EXPECT_EQ(Args(adjustments, 1), json::parse(R"([1, 0, 100, ""])")) << "a discount";
    const std::vector<json> taxes = Calls("TaxReceipt");
    ASSERT_EQ(taxes.size(), 1u) << "group -1 sends no tax";
    EXPECT_EQ(Args(taxes, 0), json::parse("[1]"));
    std::vector<std::string> order = Names();
    order.erase(std::remove_if(order.begin(), order.end(),
                               [](const std::string& n) {
                                   return n != "ItemReceipt" && n != "CommentReceipt" && n != "ComissionReceiptPlus" &&
                                          n != "TaxReceipt";
                               }),
                order.end());
    EXPECT_EQ(order, (std::vector<std::string>{"CommentReceipt", "ItemReceipt", "CommentReceipt",
                                               "ComissionReceiptPlus", "TaxReceipt", "ItemReceipt",
                                               "ComissionReceiptPlus", "ItemReceipt", "CommentReceipt"}))
        << "each item with its comment, adjustment and tax before the next";
    const std::vector<json> tenders = Calls("TenderReceipt");
    ASSERT_EQ(tenders.size(), 2u);
    EXPECT_EQ(Args(tenders, 0), json::parse(R"([1, 1000, "карта"])"));
    EXPECT_EQ(Args(tenders, 1), json::parse(R"([0, 10000, ""])"));
    EXPECT_EQ(Calls("GetFldByte").back()["rc"], 5 | (2 << 3)) << "paid, and bits above the three that say so";
    EXPECT_EQ(Calls("CloseReceipt").size(), 1u);
    EXPECT_FALSE(DocumentOpen());
    EXPECT_EQ(SaleReceipts(), 1);

    ArrayReader out(answer.OutData.Raw());
    EXPECT_EQ(out.Item(1).AsInteger(), Calls("GetFldWord").back()["rc"].get<int>()) << "the receipt number";
    EXPECT_NE(Dir.Read("COM1", "paper.txt").find("Хлеб"), std::string::npos);
}

// Without payment rows the receipt is closed after a zero cash payment: the printer registers a
// free one and refuses to close one that is still due, which is then cancelled.
TEST_F(ReceiptTest, WithoutPrintTaxesNoTaxIsSentAndWithoutPaymentsOnlyAFreeReceiptCloses) {
    Up();
    const std::size_t before = Dir.Journal().size();
    const TCommandAnswer unpaid = Print(Table({Item("Хлеб", 45.5, 1, 0, 1)}), Table({}, 2));
    EXPECT_EQ(unpaid.Code(), 1001);
    EXPECT_EQ(unpaid.Text(), "Чек не оплачен: оплата меньше суммы чека (16)");
    const std::vector<std::string> sent = NamesSince(before);
    EXPECT_EQ(std::count(sent.begin(), sent.end(), "TaxReceipt"), 0);
    EXPECT_EQ(Args(Calls("TenderReceipt"), 0), json::parse(R"([0, 0, ""])"));
    EXPECT_EQ(Calls("CancelReceipt").size(), 1u);
    EXPECT_FALSE(DocumentOpen());

    // A group the printer could not take is no concern while taxes are not printed.
    ASSERT_TRUE(Print(Table({Item("Пакет", 0, 1, 0, 300)}), Table({}, 2)).Ok);
    EXPECT_EQ(NamesSince(before).back(), "GetFldWord");
    EXPECT_EQ(SaleReceipts(), 1);

    Driver->SetParamValue("PrintTaxes", Variant(true));
    const std::size_t again = Dir.Journal().size();
    EXPECT_EQ(Print(Table({Item("Хлеб", 45.5, 1, 0, 300)}), Table({}, 2)).Code(), 1004);
    EXPECT_TRUE(NamesSince(again).empty());
}

// A receipt an earlier run left open on the printer (paid in part, here) is cancelled by the next
// one, which the printer would refuse to start while it is open.
TEST_F(ReceiptTest, AReceiptLeftOpenOnThePrinterIsCancelledByTheNext) {
    Up();
    const TAzimuthEntries lib = AzimuthEntries();
    ASSERT_EQ(lib.StartReceipt(0, 1, "", "", ""), 0);
    ASSERT_EQ(lib.ItemReceipt("X", " ", " ", "", 5000, 1000, 1), 0);
    ASSERT_EQ(lib.TotalReceipt(), 0);
    ASSERT_EQ(lib.TenderReceipt(1, 1000, ""), 0);
    ASSERT_TRUE(DocumentOpen());
    const std::size_t before = Dir.Journal().size();
    const TCommandAnswer answer = Print(Table({Item("Хлеб", 80, 1)}), Table({Payment(0, 100)}));
    ASSERT_TRUE(answer.Ok) << answer.Text();
    const std::vector<json> journal = Dir.Journal();
    ASSERT_GE(journal.size(), before + 3);
    EXPECT_EQ(journal[before]["fn"], "GetShiftState");
    EXPECT_EQ(journal[before]["rc"], 13);
    EXPECT_EQ(journal[before + 1]["fn"], "CancelReceipt");
    EXPECT_EQ(journal[before + 1]["rc"], 0);
    EXPECT_EQ(journal[before + 2]["fn"], "GetShiftState");
    EXPECT_EQ(journal[before + 2]["rc"], 0);
    EXPECT_EQ(Memory()["shift"]["cancelledReceipts"], 1);
    EXPECT_EQ(SaleReceipts(), 1);
    EXPECT_EQ(Memory()["shift"]["sales"], 8000) << "nothing of the cancelled receipt";
}

TEST_F(ReceiptTest, PaymentsAfterTheCoveringOneAreNotSentAndAReturnIsKindTwo) {
    Up();
    ASSERT_TRUE(Print(Table({Item("Хлеб", 80, 1)}), Table({Payment(0, 100), Payment(1, 10), Payment(2, 5)})).Ok);
    EXPECT_EQ(Calls("TenderReceipt").size(), 1u);

    const TCommandAnswer returned = Print(Table({Item("Хлеб", 80, 1)}), Table({Payment(1, 80)}), Params(5));
    ASSERT_TRUE(returned.Ok) << returned.Text();
    EXPECT_EQ(Args(Calls("StartReceipt"), 1)[0], 2);
    EXPECT_EQ(Memory()["shift"]["returnReceipts"], 1);
}

TEST_F(ReceiptTest, PaymentsThatDoNotCoverTheTotalCancelTheReceipt) {
    Up();
    const TCommandAnswer answer = Print(Table({Item("Хлеб", 80, 1)}), Table({Payment(1, 10), Payment(2, 20)}));
    EXPECT_EQ(answer.Code(), 3009);
    EXPECT_EQ(answer.Text(), "Сумма оплаты не соответствует сумме документа");
    EXPECT_EQ(Calls("TenderReceipt").size(), 2u);
    EXPECT_EQ(Calls("CancelReceipt").size(), 1u);
    EXPECT_FALSE(DocumentOpen());
    EXPECT_EQ(SaleReceipts(), 0);
}

TEST_F(ReceiptTest, AnInsertedSheetAndInputThePrinterCannotTakeAreRefusedBeforeAnythingIsSent) {
    Up();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    std::vector<Variant> least = Item("A", 1, 1);
    CY minimum;
    minimum.int64 = std::numeric_limits<std::int64_t>::min();
    least[7] = Variant::FromCurrency(minimum);
    const auto asIntegers = [](Variant table) {
        table.Get()->vt = VT_ARRAY | VT_I4;
        return table;
    };
    struct Case {
        const char* what;
        Variant goods, payments, params;
        LONG code;
    } cases[] = {
        {"an inserted sheet", Table({Item("A", 1, 1)}), Table({}, 2),
         MakeVariantArray({Variant(0), Variant(true), Variant(2), Cy(0), Cy(0)}), 3004},
        {"a price beyond 32-bit kopecks", Table({Item("A", 1, 1), Item("B", 21474836.48, 1)}), Table({}, 2), Params(),
         1004},
        {"a discount beyond 32-bit kopecks", Table({Item("A", 1, 1, -21474836.49)}), Table({}, 2), Params(), 1004},
        {"a quantity beyond 32-bit thousandths", Table({Item("A", 1, 2147483.648)}), Table({}, 2), Params(), 1004},
        {"a NaN quantity", Table({Item("A", 1, nan)}), Table({}, 2), Params(), 1004},
        {"an infinite quantity", Table({Item("A", 1, -inf)}), Table({}, 2), Params(), 1004},
        {"a payment beyond 32-bit kopecks", Table({Item("A", 1, 1)}), Table({Payment(0, 1), Payment(0, 3.0e7)}),
         Params(), 1004},
        {"a payment type that is not a byte", Table({Item("A", 1, 1)}), Table({Payment(256, 1)}), Params(), 1004},
        {"a goods table without the adjustment columns", Table({{Str("A"), Str(""), Str(""), Variant(1), Cy(1),
                                                                 Variant(1.0)}}),
         Table({}, 2), Params(), 1004},
        {"a null price", Table({{Str("A"), Str(""), Str(""), Variant(1), Variant::Null(), Variant(1.0), Str(""),
                                 Cy(0), Cy(0), Cy(0)}}),
         Table({}, 2), Params(), 1004},
        {"receipt parameters without the total", Table({Item("A", 1, 1)}), Table({}, 2),
         MakeVariantArray({Variant(0), Variant(true)}), 1004},
        {"an empty kind", Table({Item("A", 1, 1)}), Table({}, 2),
         MakeVariantArray({Variant(), Variant(true), Variant(0), Cy(0), Cy(0)}), 1004},
        {"an empty fiscal flag (a copy would print)", Table({Item("A", 1, 1)}), Table({}, 2),
         MakeVariantArray({Variant(0), Variant(), Variant(0), Cy(0), Cy(0)}), 1004},
        {"goods labelled as integers", asIntegers(Table({Item("A", 1, 1)})), Table({}, 2), Params(), 1004},
        {"goods without columns over 2^32 - 1 rows", NoColumns(), Table({}, 2), Params(), 1004},
        {"a copy of goods without columns over 2^32 - 1 rows", NoColumns(), Table({}, 2), Params(0, false), 1004},
        {"a copy with a markup of the least currency value", Table({least}), Table({}, 2), Params(0, false), 1004},
        {"a copy dated beyond the calendar", Table({Item("A", 1, 1)}), Table({}, 2),
         Params(0, false, 0,
                {Str(""), Str(""), Str(""), Variant(0), Variant(0), Variant(0), Variant::FromDate(3.0e6)}),
         1004},
    };
    for (const Case& c : cases) {
        const std::size_t before = Dir.Journal().size();
        const TCommandAnswer answer = Print(c.goods, c.payments, c.params);
        EXPECT_EQ(answer.Code(), c.code) << c.what;
        EXPECT_TRUE(NamesSince(before).empty()) << c.what << ": nothing reaches the printer";
    }
    const TCommandAnswer fits = Print(Table({Item("A", 21474836.47, 1)}), Table({}, 2));
    EXPECT_NE(Calls("ItemReceipt").size(), 0u) << "the largest amount that fits is sent";
    (void)fits;
    // A table of no rows is empty wherever its rows would start, the least index too.
    SAFEARRAYBOUND noRows[2] = {{2, 0}, {0, std::numeric_limits<LONG>::min()}};
    const Variant noPayments = Variant::FromArray(SafeArrayCreate(VT_VARIANT, 2, noRows));
    EXPECT_EQ(Print(Table({Item("A", 1, 1)}), noPayments).Code(), Print(Table({Item("A", 1, 1)}), Table({}, 2)).Code());
}

TEST_F(ReceiptTest, TaxGroupWithoutARateIsReportedInWords) {
    std::string taxes = R"({"name": "А", "rate": null})";
    for (int group = 1; group < 8; ++group)
        taxes += R"(, {"name": "Б", "rate": 10})";
    Config(R"({"taxes": [)" + taxes + "]}");
    Up();
    Driver->SetParamValue("PrintTaxes", Variant(true));
    const TCommandAnswer answer = Print(Table({Item("Хлеб", 10, 1, 0, 0)}), Table({}, 2));
    EXPECT_EQ(answer.Code(), 1001);
    EXPECT_EQ(answer.Text(), "Не задана ставка налога в ФР");
    EXPECT_FALSE(DocumentOpen());
}

// An exception between two library calls (here out of the library binding itself) still ends
// with the receipt cancelled on the printer.
TEST_F(ReceiptTest, AFailureRaisedInsideTheDriverCancelsTheOpenReceipt) {
    Up();
    Driver->Patch = [](TAzimuthEntries& e) { e.TotalReceipt = ThrowingTotal; };
    const TCommandAnswer answer = Print(Table({Item("Хлеб", 10, 1)}), Table({Payment(0, 10)}));
    EXPECT_FALSE(answer.Ok);
    EXPECT_EQ(answer.Code(), 1001);
    EXPECT_EQ(Calls("ItemReceipt").size(), 1u);
    EXPECT_EQ(Calls("CancelReceipt").size(), 1u);
    EXPECT_FALSE(DocumentOpen());
    EXPECT_EQ(SaleReceipts(), 0);
}

// Every library call of a receipt fails once in turn: the host learns the code and the printer's
// text, and neither the printer nor its fiscal memory keeps any part of the receipt.
TEST_F(ReceiptTest, FaultSweepLeavesNothingOpenAndNothingRegistered) {
    Up();
    Driver->SetParamValue("PrintTaxes", Variant(true));
    std::vector<Variant> milk = Item("Молоко", 89.9, 2, 10, 1);
    milk.resize(18);
    milk[17] = Str("пастеризованное");
    const Variant goods = Table({Item("Хлеб", 45.5, 1, 0, 0), milk, Item("Сыр", 300, 0.25, -2.5, 2)});
    const Variant payments = Table({Payment(1, 100, "карта"), Payment(0, 300), Payment(2, 1)});
    const Variant params = Params(0, true, 0, {Str(""), Str("Шапка"), Str("Подвал")});
    struct Case {
        const char* fn;
        int call;
        LONG code;       // the host's
        const char* text; // its start
    } cases[] = {
        {"GetShiftState", 1, 1001, "Нет бумаги (23)"},
        {"ChangeOpName", 1, 1001, "Нет бумаги (23)"},
        {"StartReceipt", 1, 1001, "Нет бумаги (23)"},
        {"ItemReceipt", 1, 1001, "Нет бумаги (23)"},
        {"ItemReceipt", 3, 1001, "Нет бумаги (23)"},
        {"ComissionReceiptPlus", 1, 1001, "Нет бумаги (23)"},
        {"ComissionReceiptPlus", 2, 1007, "ККМ не отвечает (194)"},
        {"TaxReceipt", 2, 1001, "Нет бумаги (23)"},
        {"TotalReceipt", 1, 1001, "Нет бумаги (23)"},
        {"TenderReceipt", 2, 3009, "Сумма оплаты не соответствует сумме документа"}, // the card after it paid
        {"CommentReceipt", 3, 1001, "Нет бумаги (23)"}, // the footer
        {"CloseReceipt", 1, 1007, "ККМ не отвечает (194)"},
    };
    for (const Case& c : cases) {
        const int code = std::string(c.text).find("194") != std::string::npos ? 194 : 23;
        SCOPED_TRACE(std::string(c.fn) + " call " + std::to_string(c.call));
        Faults(R"({"rules": [{"fn": ")" + std::string(c.fn) + R"(", "code": )" + std::to_string(code) +
               R"(, "call": )" + std::to_string(c.call) + "}]}");
        ASSERT_TRUE(Command(Disp(), idEnable).Ok);
        const std::size_t cancels = Calls("CancelReceipt").size();
        const TCommandAnswer answer = Print(goods, payments, params);
        EXPECT_FALSE(answer.Ok);
        EXPECT_EQ(answer.Code(), c.code);
        EXPECT_EQ(answer.Text(), c.text);
        EXPECT_FALSE(DocumentOpen());
        EXPECT_EQ(SaleReceipts(), 0);
        if (std::string(c.fn) != "GetShiftState") {
            EXPECT_EQ(Calls("CancelReceipt").size(), cancels + 1);
        }
    }
    // A failing tender followed by one that covers the total, comments that do not print, and a
    // close whose answer was lost after the printer closed the receipt do not fail the receipt.
    for (const char* rule : {R"({"fn": "TenderReceipt", "code": 23, "call": 1})",
                             R"({"fn": "CloseReceipt", "code": 194, "call": 1, "after": true})",
                             R"({"fn": "CommentReceipt", "code": 23, "call": 1})",
                             R"({"fn": "CommentReceipt", "code": 23, "call": 2})"}) {
        Faults(std::string(R"({"rules": [)") + rule + "]}");
        ASSERT_TRUE(Command(Disp(), idEnable).Ok);
        const TCommandAnswer answer = Print(goods, payments, params);
        EXPECT_TRUE(answer.Ok) << rule << ": " << answer.Text();
    }
    EXPECT_EQ(SaleReceipts(), 4);
}
