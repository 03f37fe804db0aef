// What Mutter's remote desktop is sent: a layout point on the right monitor's stream, and
// wheel turns in Mutter's units with the parts of a unit kept for the next turn.
#include <gtest/gtest.h>

#include <vector>

#include "platform/wayland/MutterValues.h"

namespace {

TEST(MutterValuesTest, APointGoesToTheStreamOfItsMonitorOrTheNearestOne) {
    // A 1280x720 monitor, and right of it one of 3200x1800 pixels scaled by 2.
    const std::vector<MutterMonitor> monitors = {{"Meta-0", 0, 0, 1280, 720, 1.0},
                                                 {"Meta-1", 1280, 0, 1600, 900, 2.0}};
    struct Case {
        int32_t x, y;
        std::size_t monitor;
        double streamX, streamY;
    };
    const Case cases[] = {
        {0, 0, 0, 0, 0},
        {1279, 719, 0, 1279, 719},
        {1280, 0, 1, 0, 0},
        {1300, 10, 1, 40, 20},
        {2879, 899, 1, 3198, 1798},
        {100, 800, 0, 100, 800},  // below the first monitor, in no monitor: the nearest
        {-5, 10, 0, -5, 10},
        {3000, 850, 1, 3440, 1700}};
    for (const Case& c : cases) {
        const StreamPoint point = PlaceOnStream(monitors, c.x, c.y);
        EXPECT_EQ(point.monitor, c.monitor) << c.x << "," << c.y;
        EXPECT_DOUBLE_EQ(point.x, c.streamX) << c.x << "," << c.y;
        EXPECT_DOUBLE_EQ(point.y, c.streamY) << c.x << "," << c.y;
    }
}

TEST(MutterValuesTest, WheelPartsAddUpToWholeUnitsAndAReversalDropsTheRest) {
    MutterWheel wheel;
    EXPECT_EQ(wheel.Turn(false, 120), -10);  // a notch away from the user scrolls up
    EXPECT_EQ(wheel.Turn(true, 120), 10);    // a notch to the right
    EXPECT_EQ(wheel.Turn(false, 30), -2);    // 24 of 30 sent, 6 kept
    EXPECT_EQ(wheel.Turn(false, 6), -1);     // with the 6 kept: a whole unit
    EXPECT_EQ(wheel.Turn(false, 5), 0);
    EXPECT_EQ(wheel.Turn(true, -5), 0);    // the other axis keeps its own parts
    EXPECT_EQ(wheel.Turn(false, -10), 0);  // reversed: the 5 kept are dropped, 10 kept
    EXPECT_EQ(wheel.Turn(false, -2), 1);
    EXPECT_EQ(wheel.Turn(false, -2400), 200);
}

}  // namespace
