// Device events to journal records and records back to X input, without a display.
#include <gtest/gtest.h>

#include <initializer_list>

#include "EvdevKeycode.h"
#include "platform/x11/EventTranslator.h"
#include "platform/x11/InputPlan.h"
#include "platform/x11/KeyMapping.h"
#include "platform/x11/WheelCarry.h"

namespace {

constexpr int kPress = 2, kRelease = 3, kButtonPress = 4, kButtonRelease = 5, kMotion = 6;
constexpr uint32_t kExtended = 0x8000;

KeyboardState Keyboard(std::initializer_list<uint32_t> held = {}, bool numLock = false,
                       KeyboardLayout layout = KeyboardLayout::Us) {
    KeyboardState state;
    for (uint32_t evdev : held) state.keysDown.set(Keycode(evdev));
    state.numLock = numLock;
    state.layout = layout;
    return state;
}

class TranslatorTest : public ::testing::Test {
  protected:
    void SetUp() override { translator.Reset(Keyboard()); }

    EVENTMSG Key(int type, uint32_t evdev, uint32_t time = 0) {
        auto record = translator.Translate(XDeviceEvent{type, Keycode(evdev), 0, 0, time});
        EXPECT_TRUE(record.has_value());
        return record.value_or(EVENTMSG{});
    }
    uint32_t VirtualKeyOfPress(uint32_t evdev) {
        uint32_t paramL = Key(kPress, evdev).paramL;
        Key(kRelease, evdev);
        return paramL & 0xFF;
    }

    EventTranslator translator;
};

TEST_F(TranslatorTest, KeysBecomeTheirScanCodeAndTheLayoutsVirtualKeyWithTheServerTime) {
    EXPECT_EQ(Key(kPress, KEY_A, 123456), (EVENTMSG{msg::kKeyDown, 0x1E41, 1, 123456, 0}));
    EXPECT_EQ(Key(kRelease, KEY_A).message, msg::kKeyUp);
    EXPECT_EQ(Key(kPress, KEY_KPENTER), (EVENTMSG{msg::kKeyDown, 0x1C0D, 1 | kExtended, 0, 0}));
    // The key right of P: [ on a US layout, @ on a Japanese one; the same scan code.
    EXPECT_EQ(Key(kPress, KEY_LEFTBRACE).paramL, 0x1ADBu);
    translator.Reset(Keyboard({}, false, KeyboardLayout::Japanese));
    EXPECT_EQ(Key(kPress, KEY_LEFTBRACE).paramL, 0x1AC0u);
    EXPECT_EQ(Key(kPress, KEY_YEN).paramL, 0x7DDCu);
    // Keys that no PC keyboard has make no record.
    EXPECT_FALSE(translator.Translate(XDeviceEvent{kPress, Keycode(KEY_PROG1), 0, 0, 0}));
    EXPECT_FALSE(translator.Translate(XDeviceEvent{kPress, 300, 0, 0, 0}));
}

TEST_F(TranslatorTest, AltWithoutCtrlGivesSystemKeysAndCtrlPauseIsBreak) {
    EXPECT_EQ(Key(kPress, KEY_LEFTALT).message, msg::kSysKeyDown);
    EXPECT_EQ(Key(kPress, KEY_A).message, msg::kSysKeyDown);
    EXPECT_EQ(Key(kRelease, KEY_A).message, msg::kSysKeyUp);
    EXPECT_EQ(Key(kRelease, KEY_LEFTALT).message, msg::kSysKeyUp);
    EXPECT_EQ(Key(kPress, KEY_A).message, msg::kKeyDown);
    EXPECT_EQ(Key(kPress, KEY_F10).message, msg::kSysKeyDown);
    // AltGr is the right Alt key, and counts as Alt.
    EXPECT_EQ(Key(kPress, KEY_RIGHTALT).message, msg::kSysKeyDown);
    EXPECT_EQ(Key(kPress, KEY_Q).message, msg::kSysKeyDown);
    Key(kRelease, KEY_Q);
    // Alt+Print is SysRq.
    EXPECT_EQ(Key(kPress, KEY_SYSRQ).paramL, 0x542Cu);
    EXPECT_EQ(Key(kRelease, KEY_SYSRQ).paramL, 0x542Cu);
    Key(kRelease, KEY_RIGHTALT);

    EXPECT_EQ(Key(kPress, KEY_RIGHTCTRL).message, msg::kKeyDown);
    EXPECT_EQ(Key(kPress, KEY_LEFTALT).message, msg::kKeyDown);  // Ctrl+Alt is no system key
    EXPECT_EQ(Key(kRelease, KEY_LEFTALT).message, msg::kKeyUp);
    EVENTMSG pause = Key(kPress, KEY_PAUSE);
    EXPECT_EQ(pause.paramL, 0x4603u);  // Break: ends a recording
    EXPECT_EQ(pause.paramH, 1 | kExtended);
    Key(kRelease, KEY_RIGHTCTRL);
    EXPECT_EQ(Key(kRelease, KEY_PAUSE).paramL, 0x4603u);  // released as it was pressed
    EXPECT_EQ(Key(kPress, KEY_PAUSE).paramL, 0x4513u);
}

TEST_F(TranslatorTest, TheKeypadFollowsNumLockAndShift) {
    EXPECT_EQ(VirtualKeyOfPress(KEY_KP7), 0x24u);  // VK_HOME with NumLock off
    EXPECT_EQ(VirtualKeyOfPress(KEY_NUMLOCK), 0x90u);
    EXPECT_EQ(VirtualKeyOfPress(KEY_KP7), 0x67u);    // VK_NUMPAD7
    EXPECT_EQ(VirtualKeyOfPress(KEY_KPDOT), 0x6Eu);  // VK_DECIMAL
    Key(kPress, KEY_RIGHTSHIFT);
    EXPECT_EQ(VirtualKeyOfPress(KEY_KP7), 0x24u);
    Key(kRelease, KEY_RIGHTSHIFT);
    // A key held while NumLock changes is released as it was pressed.
    EXPECT_EQ(Key(kPress, KEY_KP1).paramL & 0xFF, 0x61u);
    VirtualKeyOfPress(KEY_NUMLOCK);
    EXPECT_EQ(Key(kRelease, KEY_KP1).paramL & 0xFF, 0x61u);
    EXPECT_EQ(VirtualKeyOfPress(KEY_KP1), 0x23u);  // VK_END
}

// Ctrl+Break ends a recording while Ctrl is down, and its release is never seen. The next
// recording starts from the keyboard as it is then.
TEST_F(TranslatorTest, EachRecordingStartsFromTheKeyboardAsItIs) {
    Key(kPress, KEY_LEFTCTRL);
    EXPECT_EQ(Key(kPress, KEY_PAUSE).paramL & 0xFF, 0x03u);

    translator.Reset(Keyboard());
    EXPECT_EQ(Key(kPress, KEY_PAUSE).paramL & 0xFF, 0x13u);
    Key(kRelease, KEY_PAUSE);
    Key(kPress, KEY_LEFTALT);
    EXPECT_EQ(Key(kPress, KEY_X).message, msg::kSysKeyDown);

    // Keys held when the recording starts count, NumLock too.
    translator.Reset(Keyboard({KEY_LEFTCTRL}, true));
    EXPECT_EQ(Key(kPress, KEY_PAUSE).paramL & 0xFF, 0x03u);
    EXPECT_EQ(VirtualKeyOfPress(KEY_KP0), 0x60u);
    Key(kRelease, KEY_LEFTCTRL);  // released though its press was not seen
    EXPECT_EQ(Key(kPress, KEY_PAUSE).paramL & 0xFF, 0x13u);
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
    EXPECT_FALSE(translator.Translate(XDeviceEvent{kButtonPress, 10, 5, 6, 12}));
}

TEST_F(TranslatorTest, XButtonsAreRecordedWithTheirNumberAndPlayAsButtons8And9) {
    auto back = translator.Translate(XDeviceEvent{kButtonPress, 8, 5, 6, 13});
    EXPECT_EQ(*back, (EVENTMSG{msg::kXButtonDown, 5, 6, 13, 1}));
    auto forward = translator.Translate(XDeviceEvent{kButtonRelease, 9, 5, 6, 14});
    EXPECT_EQ(*forward, (EVENTMSG{msg::kXButtonUp, 5, 6, 14, 2}));
    for (const EVENTMSG& record : {*back, *forward}) {
        auto plan = PlanInput(record, KeyboardLayout::Us);
        ASSERT_EQ(plan.size(), 2u);
        EXPECT_EQ(plan[1].kind, InputAction::Button);
        EXPECT_EQ(plan[1].code, 7 + record.hwnd);
        EXPECT_EQ(plan[1].press, record.message == msg::kXButtonDown);
    }
    // A damaged file's button number plays nothing rather than a wheel notch.
    EXPECT_TRUE(PlanInput({msg::kXButtonDown, 5, 6, 0, 0}, KeyboardLayout::Us).empty());
}

uint32_t KeycodePressed(const EVENTMSG& record, KeyboardLayout layout = KeyboardLayout::Us) {
    auto plan = PlanInput(record, layout);
    if (plan.size() != 1 || plan[0].kind != InputAction::Key) return 0;
    return plan[0].code;
}

TEST(InputPlanTest, KeysPlayByScanCodeAndExtendedFlag) {
    EXPECT_EQ(KeycodePressed({msg::kKeyDown, 0x1C0D, 0x8001, 0, 0}), Keycode(KEY_KPENTER));
    EXPECT_EQ(KeycodePressed({msg::kKeyDown, 0x1C0D, 0x0001, 0, 0}), Keycode(KEY_ENTER));
    EXPECT_EQ(KeycodePressed({msg::kKeyUp, 0x1D11, 0x8001, 0, 0}), Keycode(KEY_RIGHTCTRL));
    EXPECT_EQ(KeycodePressed({msg::kSysKeyDown, 0x3812, 0x8001, 0, 0}), Keycode(KEY_RIGHTALT));
    EXPECT_EQ(KeycodePressed({msg::kKeyDown, 0x4724, 0x0001, 0, 0}), Keycode(KEY_KP7));
    EXPECT_EQ(KeycodePressed({msg::kKeyDown, 0x4724, 0x8001, 0, 0}), Keycode(KEY_HOME));
    // The scan code wins over a virtual-key code of another layout.
    EXPECT_EQ(KeycodePressed({msg::kKeyDown, 0x7DDC, 0x0001, 0, 0}), Keycode(KEY_YEN));
    // Without a usable scan code the virtual-key code counts, in the layout.
    EXPECT_EQ(KeycodePressed({msg::kKeyDown, 0x0024, 0x0001, 0, 0}), Keycode(KEY_HOME));
    EXPECT_EQ(KeycodePressed({msg::kKeyDown, 0x55C0, 0x0001, 0, 0}), Keycode(KEY_GRAVE));
    EXPECT_EQ(KeycodePressed({msg::kKeyDown, 0x00C0, 0x0001, 0, 0}, KeyboardLayout::Japanese),
              Keycode(KEY_LEFTBRACE));
    auto release = PlanInput({msg::kSysKeyUp, 0x1E41, 1, 0, 0}, KeyboardLayout::Us);
    ASSERT_EQ(release.size(), 1u);
    EXPECT_FALSE(release[0].press);
    EXPECT_TRUE(PlanInput({msg::kKeyDown, 0x0007, 1, 0, 0}, KeyboardLayout::Us).empty());
    EXPECT_TRUE(PlanInput({0x0102, 0x41, 0, 0, 0}, KeyboardLayout::Us).empty());  // WM_CHAR
}

TEST(InputPlanTest, MouseRecordsMoveThenPressAndTheWheelIsBounded) {
    auto click = PlanInput(EVENTMSG{msg::kLButtonUp, 300, 200, 0, 0}, KeyboardLayout::Us);
    ASSERT_EQ(click.size(), 2u);
    EXPECT_EQ(click[0].kind, InputAction::Motion);
    EXPECT_EQ(click[1].kind, InputAction::Button);
    EXPECT_EQ(click[1].code, 1u);
    EXPECT_FALSE(click[1].press);

    auto Wheel = [](uint32_t delta) {
        return PlanInput(EVENTMSG{msg::kMouseWheel, 1, 2, 0, delta}, KeyboardLayout::Us);
    };
    auto down = Wheel(static_cast<uint32_t>(-240));
    ASSERT_EQ(down.size(), 5u);  // move, then press and release of button 5 twice
    EXPECT_EQ(down[1].code, 5u);
    EXPECT_EQ(Wheel(30).size(), 1u);  // less than a notch turns nothing by itself
    EXPECT_EQ(Wheel(0).size(), 1u);
    // A damaged file: the most negative delta, and a huge one, play the bound at most.
    auto lowest = Wheel(0x80000000u);
    EXPECT_EQ(lowest.size(), 1u + 2 * kMaxWheelNotches);
    EXPECT_EQ(lowest[1].code, 5u);
    EXPECT_EQ(Wheel(0x7FFFFFFFu).size(), 1u + 2 * kMaxWheelNotches);
}

// Parts of a notch add up per axis, whatever their sign, and play as whole notches; a damaged
// delta plays the bound and carries only the part of a notch.
TEST(WheelCarryTest, PartsOfANotchAddUpPerAxis) {
    WheelCarry wheel;
    std::vector<int32_t> played;
    for (int32_t delta : {30, 30, 0, 30, 30, 15, -45, -60, -60}) {
        played.push_back(wheel.Take(delta, true));
    }
    EXPECT_EQ(played, (std::vector<int32_t>{0, 0, 0, 0, 120, 0, 0, 0, -120}));
    EXPECT_EQ(wheel.Take(90, false), 0);
    EXPECT_EQ(wheel.Take(-30, true), 0);  // the vertical carry is -30 + -30
    EXPECT_EQ(wheel.Take(-60, true), -120);
    EXPECT_EQ(wheel.Take(30, false), 120);
    EXPECT_EQ(wheel.Take(INT32_MAX, true), kMaxWheelNotches * kWheelDelta);
    EXPECT_EQ(wheel.Take(113, true), 120);  // the carry is INT32_MAX's part of a notch, 7
    wheel.Take(60, false);
    wheel.Reset();
    EXPECT_EQ(wheel.Take(60, false), 0);
}

}  // namespace
