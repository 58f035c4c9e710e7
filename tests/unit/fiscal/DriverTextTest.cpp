// Text documents, receipt copies and the stored header and tail, checked in the virtual printer's
// journal and on its paper.
#include "ReceiptTestSupport.h"

#include "fiscal/uReceiptCopy.h"

using namespace fiscaltest;

namespace {

std::string Sp(std::size_t n) { return std::string(n, ' '); }
std::string Feed() { return " \r\n \r\n \r\n \r\n \r\n"; }

// An amount as the system writes decimals.
std::string M(std::string amount) {
    for (char& c : amount)
        if (c == '.')
            c = PaperDecimalSeparator();
    return amount;
}

// The texts printed; each was sent with its own length, not a buffer's nor one with the terminator.
std::vector<std::string> Documents(const std::vector<json>& prints) {
    std::vector<std::string> docs;
    for (const json& call : prints) {
        docs.push_back(call["args"][0].get<std::string>());
        EXPECT_EQ(call["args"][1], azimuth::Utf8ToCp1251(docs.back()).size()) << docs.back();
        EXPECT_EQ(call["rc"], 0);
    }
    return docs;
}

} // namespace

class TextTest : public ReceiptTest {
protected:
    TCommandAnswer PrintText(const char* utf8) {
        return Command(Disp(), idPrintText, MakeVariantArray({Str(utf8)}));
    }
    // A copy of a sale of bread paid in cash, 150.00 against 120.50.
    TCommandAnswer PrintCopy() {
        std::vector<Variant> bread = Item("Хлеб", 60.25, 2, 0, 1);
        bread[2] = Str("A1");
        bread.resize(18);
        bread[11] = Cy(18.38);
        bread[12] = Cy(18);
        bread[17] = Str("свежий");
        SYSTEMTIME t{};
        t.wYear = 2026, t.wMonth = 12, t.wDay = 8, t.wHour = 15, t.wMinute = 30;
        DATE when = 0;
        SystemTimeToVariantTime(&t, &when);
        return Print(Table({bread}), Table({Payment(0, 150), Payment(1, 10)}),
                     Params(0, false, 120.5,
                            {Str(""), Str("Магазин"), Str("Приходите"), Variant(0), Variant(7), Variant(42),
                             Variant::FromDate(when), Str("не он")}));
    }
    void SetUpCopy(LONG paramDoc1) {
        Up();
        Driver->SetParamValue("PrintTaxes", Variant(true));
        Driver->SetParamValue("ParamDoc1", Variant(paramDoc1));
        Driver->SetParamValue("HeaderText", Str("Магазин №1"));
        Driver->SetParamValue("FooterText", Str("Спасибо"));
    }
};

const std::string Stars(40, '*');
const std::string HeaderBlock = Stars + "\r\n*Магазин №1" + Sp(28) + "*\r\n" + "*" + Sp(38) + "*\r\n" + "*" + Sp(38) +
                                "*\r\n" + "*" + Sp(38) + "*\r\n" + Stars + "\r\n";

std::string CopyLines() {
    return "Серийный N: 27000001" + Sp(8) + "N док: 00042\r\n" + "08-12-2026" + Sp(25) + "15:30\r\n" + "Кассир: Кассир" +
           Sp(6) + "Чек (КОПИЯ) N: 00007\r\n" + Sp(16) + "Магазин" + Sp(17) + "\r\n" + "A1" + Sp(38) + "\r\n" +
           "Хлеб\r\n" + M("60.25") + " X 2" + Sp(21) + M("120.50") + " РУБ\r\n" + "свежий\r\n" + "В Т. Ч. НДС " +
           M("18.00") + " %" + Sp(12) + M("18.38") + " РУБ\r\n" + "ИТОГО: " + Sp(23) + M("120.50") + " РУБ\r\n" +
           "ПРОДАЖА\r\n" + "Наличными" + Sp(21) + M("150.00") + " РУБ\r\n" + "СДАЧА:" + Sp(25) + M("29.50") +
           " РУБ\r\n" + Sp(15) + "Приходите" + Sp(16) + "\r\n";
}

const std::string FooterBlock = "\r\n" + std::string(40, '-') + "\r\n" + Sp(16) + "Спасибо" + Sp(17) + "\r\n";

TEST_F(TextTest, ACopyWithTheHeaderFirstIsOneDocumentFollowedByTheCut) {
    SetUpCopy(432);
    const TCommandAnswer answer = PrintCopy();
    ASSERT_TRUE(answer.Ok) << answer.Text();
    const std::vector<std::string> docs = Documents(Calls("PrintOEMDoc"));
    ASSERT_EQ(docs.size(), 1u);
    EXPECT_EQ(docs[0], HeaderBlock + CopyLines() + FooterBlock + Feed());
    EXPECT_EQ(Calls("WriteComm").at(0)["args"], json::parse(R"(["\u001bi", 2])"));
    EXPECT_EQ(Calls("StartReceipt").size(), 0u) << "a copy is not fiscal";
    EXPECT_EQ(Calls("TaxReceipt").size(), 0u);
    const std::string paper = Dir.Read("COM1", "paper.txt");
    EXPECT_NE(paper.find("СДАЧА:"), std::string::npos);
    EXPECT_NE(paper.find("✂"), std::string::npos);
    EXPECT_FALSE(DocumentOpen());
    ArrayReader out(answer.OutData.Raw());
    EXPECT_NE(out.Item(2).AsInteger(), -1) << "the printer's document number";
}

TEST_F(TextTest, ACopyWithTheHeaderAfterPrintsItAsASecondDocumentWithoutACut) {
    SetUpCopy(0);
    const std::size_t before = Dir.Journal().size();
    ASSERT_TRUE(PrintCopy().Ok);
    const std::vector<std::string> docs = Documents(Calls("PrintOEMDoc"));
    ASSERT_EQ(docs.size(), 2u);
    EXPECT_EQ(docs[0], CopyLines() + FooterBlock + Feed());
    EXPECT_EQ(docs[1], HeaderBlock);
    std::vector<std::string> sent = NamesSince(before);
    sent.erase(std::remove_if(sent.begin(), sent.end(), [](const std::string& n) { return n.rfind("Get", 0) == 0; }),
               sent.end());
    EXPECT_EQ(sent, (std::vector<std::string>{"OpenFDoc", "PrintOEMDoc", "WriteComm", "CloseFDoc", "OpenFDoc",
                                              "PrintOEMDoc", "CloseFDoc"}));
}

// A return paid by card: a discount with its text and a markup, a comment of two lines, a price
// of half a kopeck and a fractional quantity, the card's amount cut to the total and named by the
// host; the time half a second before the new year stays in the old one.
TEST_F(TextTest, ACopyShowsAdjustmentsTheCardsShareAndTheMinuteItWasIn) {
    SetUpCopy(0);
    std::vector<Variant> cheese = Item("Сыр", 1.005, 1, 0.5);
    cheese[6] = Str("скидка клиента");
    cheese.resize(18);
    cheese[17] = Str("первая\r\nвторая");
    SYSTEMTIME t{};
    t.wYear = 2026, t.wMonth = 12, t.wDay = 31, t.wHour = 23, t.wMinute = 59, t.wSecond = 59;
    DATE when = 0;
    SystemTimeToVariantTime(&t, &when);
    std::vector<Variant> card = Payment(1, 150, "терминал 7");
    card.push_back(Str("Карта"));
    ASSERT_TRUE(Print(Table({cheese, Item("Мёд", 33.33, 0.3, -1)}), Table({card}),
                      Params(1, false, 100,
                             {Str(""), Str(""), Str(""), Variant(0), Variant(0), Variant(0),
                              Variant::FromDate(when + 0.6 / 86400)}))
                    .Ok);
    const std::vector<std::string> docs = Documents(Calls("PrintOEMDoc"));
    ASSERT_FALSE(docs.empty());
    EXPECT_EQ(docs[0], "Серийный N: 27000001" + Sp(8) + "N док: 00000\r\n" + "31-12-2026" + Sp(25) + "23:59\r\n" +
                           "Кассир: Кассир" + Sp(6) + "Чек (КОПИЯ) N: 00000\r\n" + Sp(40) + "\r\n" + "Сыр\r\n" +
                           M("1.01") + " X 1" + Sp(24) + M("1.01") + " РУБ\r\n" + "первая\r\nвторая\r\n" +
                           " СКИДКА" + Sp(24) + M("-0.50") + " РУБ\r\n" + "скидка клиента\r\n" + Sp(40) + "\r\n" +
                           "Мёд\r\n" + M("33.33") + " X " + M("0.3") + Sp(20) + M("10.00") + " РУБ\r\n" +
                           " НАЦЕНКА" + Sp(24) + M("1.00") + " РУБ\r\n" + "ИТОГО: " + Sp(23) + M("100.00") +
                           " РУБ\r\n" + "ВОЗВРАТ\r\n" + "Карта" + Sp(25) + M("100.00") + " РУБ\r\n" +
                           "терминал 7\r\n" + FooterBlock + Feed());
}

TEST_F(TextTest, PrintTextEndsADocumentAtAControlLineAndPrintsNothingForNoText) {
    Up();
    ASSERT_TRUE(PrintText("A\r\n\fновая страница\r\nБ").Ok);
    EXPECT_EQ(Documents(Calls("PrintOEMDoc")), (std::vector<std::string>{"A\r\n" + Feed(), "Б\r\n" + Feed()}));
    EXPECT_EQ(Calls("WriteComm").size(), 2u);
    EXPECT_EQ(Dir.Read("COM1", "paper.txt").find("новая"), std::string::npos);

    const std::size_t before = Dir.Journal().size();
    EXPECT_TRUE(PrintText("").Ok);
    EXPECT_TRUE(NamesSince(before).empty());

    // The first document that fails ends the command; those before it stay printed.
    Faults(R"({"rules": [{"fn": "PrintOEMDoc", "code": 23, "call": 2}]})");
    ASSERT_TRUE(Command(Disp(), idEnable).Ok);
    const std::size_t prints = Calls("PrintOEMDoc").size();
    EXPECT_EQ(PrintText("первый\r\n\fx\r\nвторой\r\n\fy\r\nтретий").Code(), 1001);
    EXPECT_EQ(Calls("PrintOEMDoc").size(), prints + 2) << "no third document";
    const std::string paper = Dir.Read("COM1", "paper.txt");
    EXPECT_NE(paper.find("первый"), std::string::npos);
    EXPECT_EQ(paper.find("второй"), std::string::npos);
}

// Every call of a text document fails once in turn: the host gets the code and the printer's
// text, and no document stays open.
TEST_F(TextTest, FaultSweepOverTextDocumentsLeavesNothingOpen) {
    SetUpCopy(0);
    struct Case {
        const char* fn;
        int call;
        bool copy;
    } cases[] = {
        {"OpenFDoc", 1, false}, {"PrintOEMDoc", 1, false}, {"CloseFDoc", 1, false}, {"OpenFDoc", 1, true},
        {"PrintOEMDoc", 1, true}, {"CloseFDoc", 1, true},  {"OpenFDoc", 2, true},   {"PrintOEMDoc", 2, true},
        {"CloseFDoc", 2, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.fn) + " call " + std::to_string(c.call) + (c.copy ? " copy" : " text"));
        Faults(R"({"rules": [{"fn": ")" + std::string(c.fn) + R"(", "code": 23, "call": )" + std::to_string(c.call) +
               "}]}");
        ASSERT_TRUE(Command(Disp(), idEnable).Ok);
        const std::size_t prints = Calls("PrintOEMDoc").size();
        const TCommandAnswer answer = c.copy ? PrintCopy() : PrintText("A");
        EXPECT_FALSE(answer.Ok);
        EXPECT_EQ(answer.Code(), 1001);
        EXPECT_EQ(answer.Text(), "Нет бумаги (23)");
        EXPECT_FALSE(DocumentOpen());
        if (std::string(c.fn) == "PrintOEMDoc" && c.call == 1) {
            EXPECT_EQ(Calls("PrintOEMDoc").size(), prints + 1) << "no header document after a failed print";
        }
    }

    // A document left open is cancelled and the opening tried once more.
    Faults(R"({"rules": [{"fn": "OpenFDoc", "code": 13, "call": 1}]})");
    ASSERT_TRUE(Command(Disp(), idEnable).Ok);
    const std::size_t cancels = Calls("CancelReceipt").size();
    EXPECT_TRUE(PrintText("A").Ok);
    EXPECT_EQ(Calls("CancelReceipt").size(), cancels + 1);

    // A document setting that is no number (the host's SetSettings stores what it is given) fails
    // the command before a document is opened.
    Driver->SetParamValue("ParamDoc1", Str("x"));
    const std::size_t opens = Calls("OpenFDoc").size();
    EXPECT_EQ(PrintText("A").Code(), 1001);
    EXPECT_EQ(Calls("OpenFDoc").size(), opens);
    EXPECT_FALSE(DocumentOpen());
}

TEST_F(TextTest, HeaderAndTailLinesAreStoredFourAtATime) {
    Up();
    EXPECT_EQ(Driver->ProgramHeader(Utf8ToAnsi("Магазин\r\n\r\nул. Ленина")), 0);
    EXPECT_EQ(Calls("SetHeader").at(0)["args"], json::parse(R"(["Магазин", " ", "ул. Ленина", " "])"));
    EXPECT_EQ(Driver->ProgramTail(Utf8ToAnsi("a\r\n\r\nb\r\nc\r\nd")), 0);
    EXPECT_EQ(Calls("SetTail").at(0)["args"], json::parse(R"(["a", "", "b", "c"])"));
}
