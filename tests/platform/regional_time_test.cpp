#include <gtest/gtest.h>

#include "platform/regional_time.h"

namespace px3 {
namespace {

TEST(RegionalTime, GivesAPlausibleLocalMomentAndASeparator) {
    const LocalDateTime now = CurrentLocalDateTime();
    EXPECT_GE(now.year, 2020);
    EXPECT_GE(now.month, 1);
    EXPECT_LE(now.month, 12);
    EXPECT_GE(now.day, 1);
    EXPECT_LE(now.day, 31);
    EXPECT_LE(now.hour, 23);
    EXPECT_LE(now.minute, 59);
    EXPECT_LE(now.second, 60);
    EXPECT_EQ(RegionalTimeSeparator().size(), 1u);
}

}  // namespace
}  // namespace px3
