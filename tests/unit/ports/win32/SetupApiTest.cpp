#include "ports/win32/SetupApi.h"

#include <gtest/gtest.h>

TEST(SetupApi, LoadsOnceForAllUsersAndAgainAfterTheLastHasGone) {
    auto first = TSetupApi::Acquire();
    ASSERT_NE(first, nullptr);
    auto second = TSetupApi::Acquire();
    EXPECT_EQ(first, second);
    EXPECT_NE(GetModuleHandleA("setupapi.dll"), nullptr);
    first.reset();
    second.reset();
    auto again = TSetupApi::Acquire();
    ASSERT_NE(again, nullptr);
    EXPECT_NE(again->GetDevNodeStatus, nullptr);
}
