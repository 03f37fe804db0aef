// Server time stamps moved onto the local tick clock.
#include "platform/x11/ServerClockOffset.h"

#include <gtest/gtest.h>

TEST(ServerClockTest, OffsetIsZeroForOneClockAndMeasuredForAnotherAcrossTheWrap) {
    // A local server stamps with our own clock: within the round trip counts as the same.
    EXPECT_EQ(ServerClockOffset(1000, 1000, 1000), 0);
    EXPECT_EQ(ServerClockOffset(1000, 1003, 1004), 0);
    EXPECT_EQ(ServerClockOffset(0xFFFFFFFEu, 1, 2), 0);
    // A remote server's clock, ahead or behind, also when one side has wrapped.
    EXPECT_EQ(ServerClockOffset(1000, 61002, 1004), 60000);
    EXPECT_EQ(ServerClockOffset(61000, 1002, 61004), -60000);
    EXPECT_EQ(ServerClockOffset(0xFFFFFF00u, 0x1000, 0xFFFFFF00u), 0x1100);
}
