// The Wayland journal's side of playback without a compositor: which journal a session
// gets, records to the calls of a way in, and the uinput devices' values.
#include <gtest/gtest.h>
#include <linux/input-event-codes.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/linux/JournalChoice.h"
#include "platform/wayland/UinputDevices.h"
#include "platform/wayland/WayInjector.h"

namespace {

TEST(JournalChoiceTest, AWaylandSessionGetsTheWaylandJournalUnlessOneIsForced) {
    auto choose = [](const char* forced, const char* display, const char* type) {
        return ChooseJournal(JournalEnvironment{forced, display, type});
    };
    EXPECT_EQ(choose(nullptr, nullptr, nullptr), JournalKind::X11);
    EXPECT_EQ(choose(nullptr, "", "x11"), JournalKind::X11);  // set but empty: no compositor
    EXPECT_EQ(choose(nullptr, "wayland-0", nullptr), JournalKind::Wayland);
    EXPECT_EQ(choose(nullptr, nullptr, "wayland"), JournalKind::Wayland);
    EXPECT_EQ(choose("X11", "wayland-0", "wayland"), JournalKind::X11);
    EXPECT_EQ(choose("wayland", nullptr, "x11"), JournalKind::Wayland);
    EXPECT_EQ(choose("bogus", "wayland-0", nullptr), JournalKind::Wayland);
}

// Writes down the calls a way in gets.
class CallLog final : public InputWay {
  public:
    std::string Name() const override { return "log"; }
    void MoveTo(int32_t x, int32_t y) override { Add("move", x, y); }
    void Button(uint32_t button, bool press) override { Add("button", button, press); }
    void Wheel(bool horizontal, int32_t delta) override { Add("wheel", horizontal, delta); }
    void Key(uint32_t key, bool press) override { Add("key", key, press); }
    void Flush() override { calls.push_back("flush"); }

    std::vector<std::string> calls;

  private:
    void Add(const char* what, int64_t a, int64_t b) {
        calls.push_back(std::string(what) + " " + std::to_string(a) + " " + std::to_string(b));
    }
};

EVENTMSG Record(uint32_t message, uint32_t paramL, uint32_t paramH, uint32_t hwnd = 0) {
    return EVENTMSG{message, paramL, paramH, 0, hwnd};
}

TEST(WayInjectorTest, RecordsPlayAsTheKernelsCodesAndNothingStaysHeld) {
    CallLog way;
    WayInjector injector(way);
    injector.Start(KeyboardLayout::Us);
    injector.Apply(Record(msg::kKeyDown, 0x1E41, 1));              // A by its scan code
    injector.Apply(Record(msg::kXButtonDown, 10, 20, 2));          // X button 2: forward
    injector.Apply(Record(msg::kMouseWheel, 30, 40, 0x7FFFFFFF));  // a damaged delta
    injector.Apply(Record(msg::kMouseHWheel, 30, 40, static_cast<uint32_t>(-30)));
    EXPECT_EQ(way.calls,
              (std::vector<std::string>{"key 30 1", "flush", "move 10 20", "button 276 1", "flush",
                                        "move 30 40", "wheel 0 2400", "flush", "move 30 40",
                                        "wheel 1 -30", "flush"}));
    way.calls.clear();
    injector.ReleaseAll();
    EXPECT_EQ(way.calls, (std::vector<std::string>{"button 276 0", "key 30 0", "flush"}));
    way.calls.clear();
    injector.ReleaseAll();
    EXPECT_TRUE(way.calls.empty());
}

TEST(UinputDevicesTest, ThePointerIsAnAbsoluteMouseAndItsValuesComeBackAsThePixel) {
    const UinputDescription pointer = UinputPointer();
    auto has = [](const std::vector<uint16_t>& codes, uint16_t code) {
        return std::find(codes.begin(), codes.end(), code) != codes.end();
    };
    // A touch or tool bit would make it a touchscreen or tablet bound to one output.
    EXPECT_TRUE(has(pointer.keys, BTN_LEFT) && has(pointer.keys, BTN_EXTRA));
    EXPECT_FALSE(has(pointer.keys, BTN_TOUCH) || has(pointer.keys, BTN_TOOL_PEN));
    EXPECT_TRUE(has(pointer.absolutes, ABS_X) && has(pointer.absolutes, ABS_Y));
    EXPECT_FALSE(has(UinputKeyboard().keys, BTN_LEFT));
    EXPECT_EQ(pointer.name.rfind("Tapewright ", 0), 0u);

    // libinput's transformed coordinate: value * size / (max + 1), rounded down.
    for (int32_t size : {1280, 2560, 3840, 7680, 65536}) {
        for (int32_t pixel : {0, 1, size / 2, size - 2, size - 1}) {
            const int64_t value = UinputAbsolute(pixel, size);
            ASSERT_LE(value, kUinputAbsoluteMax);
            EXPECT_EQ(value * size / (kUinputAbsoluteMax + 1), pixel) << size << " " << pixel;
        }
    }
    EXPECT_EQ(UinputAbsolute(-5, 1280), 0);
    EXPECT_EQ(UinputAbsolute(5000, 1280), UinputAbsolute(1279, 1280));
}

TEST(UinputDevicesTest, TheWheelSendsItsPartsAndANotchEachTimeTheyAddUp) {
    UinputWheel wheel;
    auto notches = [&](bool horizontal, int32_t delta) {
        int32_t notch = 0;
        for (const UinputEvent& event : wheel.Turn(horizontal, delta)) {
            if (event.code == (horizontal ? REL_HWHEEL : REL_WHEEL)) notch = event.value;
        }
        return notch;
    };
    EXPECT_EQ(notches(false, 60), 0);
    EXPECT_EQ(notches(true, -60), 0);  // each axis adds up its own
    EXPECT_EQ(notches(false, 60), 1);
    EXPECT_EQ(notches(false, -360), -3);
    EXPECT_EQ(notches(true, -60), -1);
    EXPECT_EQ(wheel.Turn(false, 30).front().value, 30);  // the high-resolution delta as it is
}

}  // namespace
