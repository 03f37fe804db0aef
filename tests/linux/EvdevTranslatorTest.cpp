// The kernel's input events to journal records, as the X11 journal would make them.
#include <gtest/gtest.h>
#include <linux/input-event-codes.h>

#include <vector>

#include "EvdevKeycode.h"
#include "platform/wayland/EvdevTranslator.h"

namespace {

class EvdevTranslatorTest : public ::testing::Test {
  protected:
    void SetUp() override { translator.Reset(KeyboardState{}); }

    std::vector<EVENTMSG> Event(uint16_t type, uint16_t code, int32_t value, uint32_t time = 7) {
        return translator.Translate(DeviceEvent{type, code, value, time}, [this](uint32_t asked) {
            ++queries;
            askedAt = asked;
            return at;
        });
    }
    std::vector<EVENTMSG> Frame() { return Event(EV_SYN, SYN_REPORT, 0, 9); }
    EVENTMSG One(uint16_t type, uint16_t code, int32_t value) {
        std::vector<EVENTMSG> records = Event(type, code, value);
        EXPECT_EQ(records.size(), 1u);
        return records.empty() ? EVENTMSG{} : records.front();
    }

    EvdevTranslator translator;
    PointerPosition at{-5, 700};  // left of the primary output
    int queries = 0;
    uint32_t askedAt = 0;  // the time the position was asked for
};

TEST_F(EvdevTranslatorTest, WheelsCountTheHighResolutionAmountWhereTheFrameHasIt) {
    const uint32_t x = static_cast<uint32_t>(-5);
    // A high-resolution wheel sends both codes as a notch completes: one notch, not two.
    Event(EV_REL, REL_WHEEL_HI_RES, 120);
    Event(EV_REL, REL_WHEEL, 1);
    EXPECT_EQ(Frame(), (std::vector<EVENTMSG>{{msg::kMouseWheel, x, 700, 9, 120}}));
    // Part of a notch, towards the user.
    Event(EV_REL, REL_WHEEL_HI_RES, -30);
    EXPECT_EQ(Frame(), (std::vector<EVENTMSG>{{msg::kMouseWheel, x, 700, 9, uint32_t(-30)}}));
    // A plain wheel: 120 a notch. Horizontal: right is positive, as X button 7.
    Event(EV_REL, REL_WHEEL, -2);
    Event(EV_REL, REL_HWHEEL, 1);
    EXPECT_EQ(Frame(), (std::vector<EVENTMSG>{{msg::kMouseWheel, x, 700, 9, uint32_t(-240)},
                                              {msg::kMouseHWheel, x, 700, 9, 120}}));
    Event(EV_REL, REL_HWHEEL_HI_RES, -60);
    Event(EV_REL, REL_HWHEEL, -1);
    EXPECT_EQ(Frame(), (std::vector<EVENTMSG>{{msg::kMouseHWheel, x, 700, 9, uint32_t(-60)}}));

    // Motion: one move per frame, where the pointer is then; a frame of nothing, no record.
    queries = 0;
    Event(EV_REL, REL_X, 3);
    Event(EV_REL, REL_Y, -1);
    EXPECT_EQ(queries, 0);
    EXPECT_EQ(Frame(), (std::vector<EVENTMSG>{{msg::kMouseMove, x, 700, 9, 0}}));
    EXPECT_EQ(queries, 1);
    EXPECT_EQ(askedAt, 9u);  // the frame's end, not its first event
    EXPECT_TRUE(Frame().empty());
}

TEST_F(EvdevTranslatorTest, ButtonsAreTheXButtonsWithThePointersPlace) {
    EXPECT_EQ(One(EV_KEY, BTN_LEFT, 1), (EVENTMSG{msg::kLButtonDown, uint32_t(-5), 700, 7, 0}));
    EXPECT_EQ(One(EV_KEY, BTN_LEFT, 0).message, msg::kLButtonUp);
    EXPECT_EQ(One(EV_KEY, BTN_RIGHT, 1).message, msg::kRButtonDown);
    EXPECT_EQ(One(EV_KEY, BTN_MIDDLE, 0).message, msg::kMButtonUp);
    EXPECT_EQ(One(EV_KEY, BTN_SIDE, 1), (EVENTMSG{msg::kXButtonDown, uint32_t(-5), 700, 7, 1}));
    EXPECT_EQ(One(EV_KEY, BTN_EXTRA, 0), (EVENTMSG{msg::kXButtonUp, uint32_t(-5), 700, 7, 2}));
    EXPECT_TRUE(Event(EV_KEY, BTN_TASK, 1).empty());
    EXPECT_TRUE(Event(EV_KEY, BTN_TOUCH, 1).empty());
}

TEST_F(EvdevTranslatorTest, KeysAreTheX11JournalsRecordsFromTheKeyboardAsItWas) {
    // Ctrl held when the recording started: Pause is Break, which ends a recording.
    KeyboardState held;
    held.keysDown.set(Keycode(KEY_RIGHTCTRL));
    held.layout = KeyboardLayout::Japanese;
    translator.Reset(held);
    EVENTMSG pause = One(EV_KEY, KEY_PAUSE, 1);
    EXPECT_EQ(pause.paramL & 0xFF, kVkCancel);
    EXPECT_EQ(pause.time, 7u);
    EXPECT_EQ(One(EV_KEY, KEY_RIGHTCTRL, 0).message, msg::kKeyUp);
    // The layout's virtual key: @ on a Japanese keyboard; a repeat is another press.
    EXPECT_EQ(One(EV_KEY, KEY_LEFTBRACE, 1), (EVENTMSG{msg::kKeyDown, 0x1AC0, 1, 7, 0}));
    EXPECT_EQ(One(EV_KEY, KEY_LEFTBRACE, 2), (EVENTMSG{msg::kKeyDown, 0x1AC0, 1, 7, 0}));
    EXPECT_EQ(One(EV_KEY, KEY_LEFTBRACE, 0).message, msg::kKeyUp);
    EXPECT_TRUE(Event(EV_KEY, KEY_MACRO1, 1).empty());  // beyond the X key codes
}

TEST(CancelKeyWatchTest, EscWhileEitherCtrlIsHeld) {
    CancelKeyWatch watch;
    auto key = [&](uint16_t code, int32_t value) {
        return watch.Watch(DeviceEvent{EV_KEY, code, value, 0});
    };
    EXPECT_FALSE(key(KEY_ESC, 1));
    EXPECT_FALSE(key(KEY_LEFTCTRL, 1));
    EXPECT_FALSE(key(KEY_RIGHTCTRL, 1));
    EXPECT_FALSE(key(KEY_LEFTCTRL, 0));
    EXPECT_TRUE(key(KEY_ESC, 1));  // the right one is still held
    EXPECT_FALSE(key(KEY_RIGHTCTRL, 0));
    EXPECT_FALSE(key(KEY_ESC, 1));
    EXPECT_FALSE(key(KEY_LEFTCTRL, 1));
    watch.Reset();
    EXPECT_FALSE(key(KEY_ESC, 1));
}

}  // namespace
