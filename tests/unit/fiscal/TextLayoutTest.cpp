// The fixed-width layout helpers and the printer's units.
#include "fiscal/uReceiptTables.h"
#include "fiscal/uTextLayout.h"
#include "framework/uExactFloat.h"

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
    // A decimal half stays a half whatever precision the host's arithmetic keeps.
    const std::pair<double, LONG> quantities[] = {{0.0625, 62}, {0.1875, 188}, {-0.1875, -188},
                                                  {0.0005, 0},  {0.0025, 2},   {0.0055, 6}};
    for (const auto& [quantity, thousandths] : quantities) {
        ASSERT_TRUE(QuantityToThousandths(quantity, k)) << quantity;
        EXPECT_EQ(k, thousandths) << quantity;
    }
    const std::pair<double, double> roubles[] = {{0.00005, 0},       {0.00025, 0.0002},       {0.00035, 0.0004},
                                                 {-0.00035, -0.0004}, {99.99995, 100},         {1e300, 1e300},
                                                 {12345.6789, 12345.6789}};
    for (const auto& [reported, rounded] : roubles)
        EXPECT_EQ(RoundToCurrencyDigits(reported), rounded) << reported;
    EXPECT_EQ(ExactRatio(std::numeric_limits<long long>::max(), 10000), 922337203685477.6);
    EXPECT_EQ(ExactRatio(-1, 10000), -0.0001);
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
