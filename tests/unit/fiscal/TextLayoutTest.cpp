// The fixed-width layout helpers and the printer's units.
#include "fiscal/uReceiptTables.h"
#include "fiscal/uTextLayout.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

CY Currency(long long units) {
    CY cy;
    cy.int64 = units;
    return cy;
}

} // namespace

TEST(TextLayout, CenterTextTrimsCentresAndKeepsTheMiddleOfALongText) {
    EXPECT_EQ(CenterText("  abc ", 10), "   abc    ");
    EXPECT_EQ(CenterText("abcdefghij", 10), "abcdefghij");
    EXPECT_EQ(CenterText("0123456789AB", 10), "123456789A");
    EXPECT_EQ(CenterText("0123456789ABC", 10), "123456789A");
    EXPECT_EQ(CenterText("", 4), "    ");
}

TEST(TextLayout, JustifyPairFillsTheWidthAndCutsTheLeftFirst) {
    EXPECT_EQ(JustifyPair("left", "right", 12), "left   right");
    EXPECT_EQ(JustifyPair("a long left part", "right", 12), "a long right");
    EXPECT_EQ(JustifyPair("left", "rrrrrrrrrrr", 12), " rrrrrrrrrrr");
    EXPECT_EQ(JustifyPair("left", std::string(45, 'r'), 40), std::string(40, 'r'));
    EXPECT_EQ(JustifyPair("left", std::string(40, 'r'), 40), std::string(40, 'r'));
}

TEST(TextLayout, CenterLinesPadsEachLineAndCutsLongOnes) {
    EXPECT_EQ(CenterLines("ab\r\nabcdefg\nx", 6), "  ab  \r\nabcdef\r\n  x   \r\n");
    EXPECT_EQ(CenterLines("", 6), "");
}

TEST(TextLayout, SplitLinesBreaksAtAnyLineEndAndOpensNoLineAfterTheLast) {
    EXPECT_EQ(SplitLines("a\r\n\r\nb\rc\nd\r\n"), (std::vector<std::string>{"a", "", "b", "c", "d"}));
    EXPECT_TRUE(SplitLines("").empty());
}

TEST(PrinterUnits, HalvesGoToTheEvenNeighbour) {
    LONG k = 0;
    const std::pair<long long, LONG> money[] = {{123450, 1234}, {123550, 1236}, {-123450, -1234},
                                                {-123550, -1236}, {123451, 1235}, {49, 0}, {150, 2}};
    for (const auto& [units, kopecks] : money) {
        ASSERT_TRUE(CurrencyToKopecks(Currency(units), k)) << units;
        EXPECT_EQ(k, kopecks) << units;
    }
    ASSERT_TRUE(QuantityToThousandths(0.0625, k));
    EXPECT_EQ(k, 62);
    ASSERT_TRUE(QuantityToThousandths(0.1875, k));
    EXPECT_EQ(k, 188);
    ASSERT_TRUE(QuantityToThousandths(-0.1875, k));
    EXPECT_EQ(k, -188);
}

TEST(PrinterUnits, ValuesBeyondThirtyTwoBitsAndNonNumbersAreRefused) {
    LONG k = 0;
    EXPECT_TRUE(CurrencyToKopecks(Currency(214748364700), k));
    EXPECT_EQ(k, std::numeric_limits<LONG>::max());
    EXPECT_FALSE(CurrencyToKopecks(Currency(214748364750), k)) << "rounds to 2^31";
    EXPECT_TRUE(CurrencyToKopecks(Currency(-214748364800), k));
    EXPECT_FALSE(CurrencyToKopecks(Currency(std::numeric_limits<long long>::min()), k));
    EXPECT_TRUE(QuantityToThousandths(2147483.647, k));
    EXPECT_FALSE(QuantityToThousandths(2147483.648, k));
    EXPECT_FALSE(QuantityToThousandths(std::numeric_limits<double>::quiet_NaN(), k));
    EXPECT_FALSE(QuantityToThousandths(std::numeric_limits<double>::infinity(), k));
    EXPECT_FALSE(QuantityToThousandths(1e300, k));
}
