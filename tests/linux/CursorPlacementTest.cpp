// A cursor session's position (the hotspot in the output's transformed buffer pixels) as a
// place in the layout's logical pixels, for outputs placed, scaled and turned as compositors
// do.
#include <gtest/gtest.h>

#include <optional>

#include "platform/wayland/CursorPlacement.h"

namespace {

constexpr uint32_t kNormal = 0;
constexpr uint32_t kTurned90 = 1;
constexpr uint32_t kFlippedTurned270 = 7;

TEST(CursorPlacementTest, MapsBufferPixelsToTheLayoutsLogicalPixels) {
    struct Case {
        const char* what;
        OutputPlacement output;
        int32_t x, y;
        std::optional<PointerPosition> expected;
    };
    const Case cases[] = {
        {"scale 1 at the origin",
         {0, 0, 1920, 1080, 1920, 1080, kNormal},
         100,
         50,
         PointerPosition{100, 50}},
        {"scale 2 right of the first",
         {1920, 0, 1280, 720, 2560, 1440, kNormal},
         1000,
         401,
         PointerPosition{2420, 201}},
        // wl_output would say 2 for a scale of 1.5: the logical size tells the true one.
        {"scale 1.5 left of and below the origin",
         {-1920, 200, 1920, 1080, 2880, 1620, kNormal},
         1500,
         301,
         PointerPosition{-920, 401}},
        // The buffer is shown turned: its sides swap before scaling.
        {"turned 90 degrees",
         {1920, 0, 1080, 1920, 1920, 1080, kTurned90},
         1000,
         1500,
         PointerPosition{2920, 1500}},
        {"flipped and turned at scale 2",
         {0, 0, 540, 960, 1920, 1080, kFlippedTurned270},
         1079,
         1919,
         PointerPosition{539, 959}},
        {"beyond a turned buffer's width",
         {0, 0, 1080, 1920, 1920, 1080, kTurned90},
         1500,
         100,
         std::nullopt},
        {"reaching in from the left",
         {1920, 0, 1920, 1080, 1920, 1080, kNormal},
         -3,
         10,
         std::nullopt},
        {"below the bottom", {0, 0, 1920, 1080, 1920, 1080, kNormal}, 10, 1080, std::nullopt},
        // The last pixels at scale 3 stay on the output rather than round onto the next.
        {"last pixel at scale 3",
         {0, 0, 1280, 720, 3840, 2160, kNormal},
         3839,
         2159,
         PointerPosition{1279, 719}},
        {"place not yet told", {0, 0, 0, 0, 2560, 1440, kNormal}, 1000, 400, std::nullopt},
        {"mode not yet told", {0, 0, 1920, 1080, 0, 0, kNormal}, 10, 10, std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PlaceCursor(c.output, c.x, c.y), c.expected) << c.what;
    }
}

}  // namespace
