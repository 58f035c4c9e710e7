// The printer's receipt arithmetic: exact kopecks, half-up rounding, change from cash only.
#include "emulator/Money.h"
#include "emulator/Receipt.h"

#include <gtest/gtest.h>

namespace azimuth {
namespace {

ReceiptItem Item(std::int32_t price, std::int32_t quantity) {
    ReceiptItem item;
    item.name = "ITEM";
    item.price = price;
    item.quantity = quantity;
    return item;
}

Receipt WithItems(std::initializer_list<std::pair<std::int32_t, std::int32_t>> items) {
    Receipt r;
    for (auto [price, quantity] : items)
        EXPECT_EQ(AddItem(r, Item(price, quantity)), kOk);
    return r;
}

TEST(ReceiptArithmetic, ItemAmountIsPriceTimesQuantityRoundedHalfUp) {
    struct Case {
        std::int32_t price, quantity;
        std::int64_t amount;
    } cases[] = {
        {4550, 1000, 4550},  // 45.50 x 1
        {4550, 2000, 9100},  // 45.50 x 2
        {1999, 1500, 2999},  // 29.985 -> 29.99
        {333, 333, 111},     // 1.10889 -> 1.11
        {1, 500, 1},         // 0.005 -> 0.01
        {1, 499, 0},         // 0.00499 -> 0.00
        {0, 1000, 0},        // a free item
    };
    for (const auto& c : cases) {
        Receipt r = WithItems({{c.price, c.quantity}});
        EXPECT_EQ(r.items.back().amount, c.amount) << c.price << " x " << c.quantity;
    }
}

TEST(ReceiptArithmetic, RefusesItemsThatAreNotGoods) {
    Receipt r;
    EXPECT_EQ(AddItem(r, Item(100, 0)), kBadArgument);
    EXPECT_EQ(AddItem(r, Item(-1, 1000)), kBadArgument);
    EXPECT_EQ(AddItem(r, Item(100, -1000)), kBadArgument);
    EXPECT_TRUE(r.items.empty());
}

TEST(ReceiptArithmetic, RefusesAmountsBeyondThirtyTwoBitsInsteadOfWrapping) {
    Receipt r;
    EXPECT_EQ(AddItem(r, Item(INT32_MAX, 2000)), kOverflow);
    EXPECT_EQ(AddItem(r, Item(INT32_MAX, 1000)), kOk);
    std::int64_t applied = 0;
    EXPECT_EQ(AddAdjustment(r, false, 0, 1, applied), kOverflow) << "a markup past the 32-bit item amount";
    EXPECT_EQ(r.Total(), INT32_MAX);
}

TEST(ReceiptArithmetic, DiscountsAndMarkupsChangeTheLastItem) {
    Receipt r = WithItems({{10000, 1000}, {5000, 2000}});
    std::int64_t applied = 0;
    ASSERT_EQ(AddAdjustment(r, true, 0, 1500, applied), kOk);
    EXPECT_EQ(applied, 1500);
    ASSERT_EQ(AddAdjustment(r, false, 1, 1000, applied), kOk) << "10 % markup of 85.00";
    EXPECT_EQ(applied, 850);
    EXPECT_EQ(r.items[0].Net(), 10000);
    EXPECT_EQ(r.items[1].Net(), 10000 - 1500 + 850);
    EXPECT_EQ(r.Total(), 19350);
}

TEST(ReceiptArithmetic, PercentDiscountRoundsHalfUp) {
    Receipt r = WithItems({{333, 1000}});
    std::int64_t applied = 0;
    ASSERT_EQ(AddAdjustment(r, true, 1, 1500, applied), kOk); // 15 % of 3.33 = 0.4995
    EXPECT_EQ(applied, 50);
    EXPECT_EQ(r.Total(), 283);
}

TEST(ReceiptArithmetic, DiscountCannotExceedTheItem) {
    Receipt r = WithItems({{1000, 1000}});
    std::int64_t applied = 0;
    EXPECT_EQ(AddAdjustment(r, true, 0, 1001, applied), kAdjustmentTooLarge);
    EXPECT_EQ(AddAdjustment(r, true, 1, 10001, applied), kAdjustmentTooLarge);
    EXPECT_EQ(AddAdjustment(r, true, 0, 1000, applied), kOk) << "down to zero is allowed";
    EXPECT_EQ(AddAdjustment(r, true, 0, 1, applied), kAdjustmentTooLarge);
    EXPECT_EQ(r.Total(), 0);
}

TEST(ReceiptArithmetic, AdjustmentsNeedAnItemAndAnOpenItemList) {
    Receipt r;
    std::int64_t applied = 0;
    EXPECT_EQ(AddAdjustment(r, true, 0, 1, applied), kWrongDocumentState);
    ASSERT_EQ(AddItem(r, Item(100, 1000)), kOk);
    EXPECT_EQ(AddAdjustment(r, true, 2, 1, applied), kBadArgument);
    EXPECT_EQ(AddAdjustment(r, true, 0, -1, applied), kBadArgument);
    ASSERT_EQ(TotalUp(r), kOk);
    EXPECT_EQ(AddAdjustment(r, true, 0, 1, applied), kWrongDocumentState);
    EXPECT_EQ(AddItem(r, Item(100, 1000)), kWrongDocumentState);
}

TEST(ReceiptArithmetic, IncludedTaxIsComputedFromTheNetAmount) {
    Receipt r = WithItems({{11800, 1000}});
    ASSERT_EQ(ApplyTax(r, 1, 1800), kOk);
    EXPECT_EQ(r.items[0].Tax(), 1800);
    std::int64_t applied = 0;
    ASSERT_EQ(AddAdjustment(r, true, 0, 1180, applied), kOk);
    EXPECT_EQ(r.items[0].Tax(), 1620) << "106.20 incl. 18 % = 16.20";
    ASSERT_EQ(ApplyTax(r, 3, 1000), kOk);
    EXPECT_EQ(r.items[0].Tax(), 965) << "106.20 incl. 10 % = 9.6545 -> 9.65";
}

TEST(ReceiptArithmetic, EmptyReceiptCannotBeTotaled) {
    Receipt r;
    EXPECT_EQ(TotalUp(r), kEmptyReceipt);
}

TEST(ReceiptArithmetic, SeveralPaymentsWithChangeFromCash) {
    Receipt r = WithItems({{12050, 1000}});
    ASSERT_EQ(TotalUp(r), kOk);
    ASSERT_EQ(Tender(r, 1, 5000, "CARD"), kOk);
    EXPECT_FALSE(r.Covered());
    ASSERT_EQ(Tender(r, 0, 10000, ""), kOk);
    EXPECT_TRUE(r.Covered());
    EXPECT_EQ(r.Change(), 2950);
    EXPECT_EQ(r.KeptBy(0), 7050) << "cash in the register is net of the change";
    EXPECT_EQ(r.KeptBy(1), 5000);
    EXPECT_EQ(r.KeptBy(0) + r.KeptBy(1), r.Total());
    EXPECT_EQ(Tender(r, 0, 100, ""), kWrongDocumentState) << "nothing more is due";
}

TEST(ReceiptArithmetic, NonCashPaymentCannotExceedWhatIsDue) {
    Receipt r = WithItems({{10000, 1000}});
    ASSERT_EQ(TotalUp(r), kOk);
    ASSERT_EQ(Tender(r, 0, 3000, ""), kOk);
    EXPECT_EQ(Tender(r, 2, 7001, ""), kNonCashOverpay);
    EXPECT_EQ(Tender(r, 2, 7000, ""), kOk);
    EXPECT_TRUE(r.Covered());
    EXPECT_EQ(r.Change(), 0);
}

TEST(ReceiptArithmetic, PaymentsNeedTheTotalAndAKnownType) {
    Receipt r = WithItems({{100, 1000}});
    EXPECT_EQ(Tender(r, 0, 100, ""), kWrongDocumentState);
    ASSERT_EQ(TotalUp(r), kOk);
    EXPECT_EQ(Tender(r, kPaymentTypes, 100, ""), kBadArgument);
    EXPECT_EQ(Tender(r, 0, -1, ""), kBadArgument);
    EXPECT_TRUE(r.payments.empty());
}

TEST(ReceiptArithmetic, ZeroTotalIsCoveredByAZeroCashPayment) {
    Receipt r = WithItems({{0, 1000}});
    ASSERT_EQ(TotalUp(r), kOk);
    ASSERT_EQ(Tender(r, 0, 0, ""), kOk);
    EXPECT_TRUE(r.Covered());
}

TEST(MoneyText, FormatsAndParsesExactly) {
    EXPECT_EQ(FormatMoney(123456), "1234.56");
    EXPECT_EQ(FormatMoney(-100), "-1.00");
    EXPECT_EQ(FormatMoney(5), "0.05");
    EXPECT_EQ(FormatMoney(INT64_MIN), "-92233720368547758.08");
    EXPECT_EQ(FormatQuantity(2500), "2.500");
    EXPECT_EQ(FormatRate(1800), "18");
    EXPECT_EQ(FormatRate(1850), "18.5");
    EXPECT_EQ(FormatRate(1), "0.01");
    EXPECT_EQ(ParseRate("18"), 1800);
    EXPECT_EQ(ParseRate(" 18,5 "), 1850);
    EXPECT_EQ(ParseRate("0.01"), 1);
    EXPECT_EQ(ParseRate("100"), 10000);
    for (const char* bad : {"", "abc", "1.001", "100.01", "-1", "1.2.3", "."})
        EXPECT_FALSE(ParseRate(bad).has_value()) << bad;
}

} // namespace
} // namespace azimuth
