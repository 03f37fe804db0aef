// Device events to journal records and records back to X input, without a display.
#include <gtest/gtest.h>

#include <map>

#include "platform/x11/EventTranslator.h"
#include "platform/x11/InputPlan.h"
#include "platform/x11/KeyMapping.h"

namespace {

// Key codes of a standard evdev keyboard and the unshifted symbols on them.
constexpr uint32_t kKeyA = 38, kCtrlL = 37, kAltL = 64, kShiftL = 50, kPause = 127, kF10 = 76;
const std::map<uint32_t, uint32_t> kKeySyms = {{kKeyA, 0x61},     {kCtrlL, 0xffe3}, {kAltL, 0xffe9},
                                               {kShiftL, 0xffe1}, {kPause, 0xff13}, {kF10, 0xffc7}};

constexpr int kPress = 2, kRelease = 3, kButtonPress = 4, kButtonRelease = 5, kMotion = 6;

class TranslatorTest : public ::testing::Test {
  protected:
    EVENTMSG Key(int type, uint32_t keycode, uint32_t time = 0) {
        auto record = translator.Translate(XDeviceEvent{type, keycode, 0, 0, time});
        EXPECT_TRUE(record.has_value());
        return record.value_or(EVENTMSG{});
    }
    EventTranslator translator{[](uint32_t keycode) {
        auto it = kKeySyms.find(keycode);
        return it == kKeySyms.end() ? 0u : it->second;
    }};
};

TEST_F(TranslatorTest, KeysBecomeVirtualKeyAndScanCodeWithTheServerTime) {
    EVENTMSG down = Key(kPress, kKeyA, 123456);
    EXPECT_EQ(down, (EVENTMSG{msg::kKeyDown, 0x1E41, 1, 123456, 0}));
    EXPECT_EQ(Key(kRelease, kKeyA).message, msg::kKeyUp);
}

TEST_F(TranslatorTest, AltWithoutCtrlGivesSystemKeysAndCtrlPauseIsBreak) {
    EXPECT_EQ(Key(kPress, kAltL).message, msg::kSysKeyDown);
    EXPECT_EQ(Key(kPress, kKeyA).message, msg::kSysKeyDown);
    EXPECT_EQ(Key(kRelease, kKeyA).message, msg::kSysKeyUp);
    EXPECT_EQ(Key(kRelease, kAltL).message, msg::kSysKeyUp);
    EXPECT_EQ(Key(kPress, kKeyA).message, msg::kKeyDown);
    EXPECT_EQ(Key(kPress, kF10).message, msg::kSysKeyDown);

    EXPECT_EQ(Key(kPress, kCtrlL).message, msg::kKeyDown);
    EXPECT_EQ(Key(kPress, kAltL).message, msg::kKeyDown);  // Ctrl+Alt is no system key
    EXPECT_EQ(Key(kRelease, kAltL).message, msg::kKeyUp);
    EVENTMSG pause = Key(kPress, kPause);
    EXPECT_EQ(pause.paramL & 0xFF, kVkCancel);  // ends a recording
    Key(kRelease, kCtrlL);
    EXPECT_EQ(Key(kPress, kPause).paramL & 0xFF, 0x13u);
}

TEST_F(TranslatorTest, MouseKeepsSignedScreenCoordinatesAndWheelNotches) {
    auto move = translator.Translate(XDeviceEvent{kMotion, 0, -1280, 40, 9});
    EXPECT_EQ(*move, (EVENTMSG{msg::kMouseMove, 0xFFFFFB00u, 40, 9, 0}));
    auto right = translator.Translate(XDeviceEvent{kButtonPress, 3, 5, 6, 10});
    EXPECT_EQ(right->message, msg::kRButtonDown);
    auto up = translator.Translate(XDeviceEvent{kButtonPress, 4, 5, 6, 11});
    EXPECT_EQ(up->message, msg::kMouseWheel);
    EXPECT_EQ(static_cast<int32_t>(up->hwnd), 120);
    auto left = translator.Translate(XDeviceEvent{kButtonPress, 6, 5, 6, 11});
    EXPECT_EQ(left->message, msg::kMouseHWheel);
    EXPECT_EQ(static_cast<int32_t>(left->hwnd), -120);
    EXPECT_FALSE(translator.Translate(XDeviceEvent{kButtonRelease, 5, 5, 6, 12}));
    EXPECT_FALSE(translator.Translate(XDeviceEvent{kButtonPress, 9, 5, 6, 12}));
}

TEST(InputPlanTest, RecordsAsHandedOverBecomeTheInputTheyRecorded) {
    // WM_KEYDOWN arrives rearranged: key code alone in paramL, scan code in paramH.
    auto key = PlanInput(EVENTMSG{msg::kKeyDown, 0x41, 0x1E, 0, 0});
    ASSERT_EQ(key.size(), 1u);
    EXPECT_EQ(key[0].kind, InputAction::Key);
    EXPECT_EQ(key[0].code, 0x61u);
    EXPECT_TRUE(key[0].press);
    // The system-key messages keep the stored layout.
    auto sys = PlanInput(EVENTMSG{msg::kSysKeyUp, 0x3812, 0x8001, 0, 0});
    ASSERT_EQ(sys.size(), 1u);
    EXPECT_FALSE(sys[0].press);
    EXPECT_EQ(sys[0].code, KeySymFromWindowsKey(0x12, 0x38, true));
    // Right Alt also offers AltGr, for keyboard mappings that have no Alt_R.
    EXPECT_GT(sys[0].keysyms.size(), 1u);
    EXPECT_EQ(sys[0].keysyms.front(), sys[0].code);

    auto click = PlanInput(EVENTMSG{msg::kLButtonUp, 300, 200, 0, 0});
    ASSERT_EQ(click.size(), 2u);
    EXPECT_EQ(click[0].kind, InputAction::Motion);
    EXPECT_EQ(click[1].kind, InputAction::Button);
    EXPECT_EQ(click[1].code, 1u);
    EXPECT_FALSE(click[1].press);

    auto wheel = PlanInput(EVENTMSG{msg::kMouseWheel, 1, 2, 0, static_cast<uint32_t>(-240)});
    ASSERT_EQ(wheel.size(), 5u);  // move, then press and release of button 5 twice
    EXPECT_EQ(wheel[1].code, 5u);
    EXPECT_TRUE(PlanInput(EVENTMSG{0x0102, 0x41, 0, 0, 0}).empty());  // WM_CHAR: no input
}

}  // namespace
