// The real program plays macros through the wlroots virtual pointer and keyboard of a
// headless sway to a native Wayland window. The program's own (hidden) window and the X
// display its journal reads the layout from are a private Xvfb: sway's XWayland would
// refuse root's connection from another user and start only on demand.
#include <gtest/gtest.h>
#include <linux/input-event-codes.h>

#include <cstdlib>
#include <map>
#include <sstream>

#include "MacroFiles.h"
#include "MockDevices.h"
#include "ProbeClient.h"
#include "ProgramRunner.h"
#include "SwayCompositor.h"
#include "XvfbServer.h"

namespace {

using namespace std::chrono_literals;

constexpr uint32_t kMouseHWheel = 0x20E;
constexpr auto kWait = 20s;

class SwayTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!xvfb_.Start()) GTEST_SKIP() << "Xvfb cannot start: " << xvfb_.Error();
        if (!sway_.Start()) GTEST_SKIP() << "headless sway cannot start: " << sway_.Error();
        ASSERT_TRUE(sway_.AddSeatDevices()) << sway_.Log();
        ASSERT_TRUE(probe_.Start(sway_, "HEADLESS-2"));
        ASSERT_TRUE(probe_.WaitForLine("ready", kWait)) << probe_.Transcript() << sway_.Log();
        ASSERT_TRUE(program_.Prepare());
        program_.SetEnvironment("DISPLAY", xvfb_.DisplayName());
        for (const auto& [name, value] : sway_.ClientEnvironment()) {
            program_.SetEnvironment(name, value);
        }
        program_.SetEnvironment("TAPEWRIGHT_JOURNAL", "wayland");
        program_.SetEnvironment("TAPEWRIGHT_INPUT_WAY", "wlroots");
    }

    std::string WriteMacro(const std::vector<MacroRecord>& records) {
        const std::string path = program_.File("x.mcr");
        EXPECT_TRUE(WriteMacroFile(path, records));
        return path;
    }

    // The first position line (pointer entry or motion) at x, y on the probe's output.
    bool WaitForPosition(int x, int y) {
        const std::string at = " " + std::to_string(x) + " " + std::to_string(y);
        return probe_
            .WaitFor(
                [&at](const std::string& line) {
                    return line == "enter" + at || line == "motion" + at;
                },
                kWait)
            .has_value();
    }

    // The values of the lines "<kind> <axis> <value>" so far, in order.
    std::vector<double> Values(const std::string& kind, int axis) const {
        const std::string prefix = kind + " " + std::to_string(axis) + " ";
        std::vector<double> values;
        for (const std::string& line : probe_.Lines()) {
            if (line.rfind(prefix, 0) == 0)
                values.push_back(std::strtod(line.c_str() + prefix.size(), nullptr));
        }
        return values;
    }

    XvfbServer xvfb_;
    SwayCompositor sway_;
    ProbeClient probe_;
    ProgramRunner program_{TAPEWRIGHT_BINARY, ""};
};

MacroRecord Record(uint32_t message, int x, int y, uint32_t time, int32_t window = 0) {
    return MacroRecord{message, static_cast<uint32_t>(x), static_cast<uint32_t>(y), time,
                       static_cast<uint32_t>(window)};
}

// Positions over two outputs, the second at (1280, 200); the left and the X buttons; Shift+a
// as "A"; wheel turns below a notch that add up to whole notches, on both axes.
TEST_F(SwayTest, PlaysKeysButtonsWheelAndPositionsToANativeWindow) {
    const int left = SwayCompositor::kSecondX;
    const int top = SwayCompositor::kSecondY;
    uint32_t time = 0;
    auto next = [&time] { return time += 40; };
    std::vector<MacroRecord> records = {
        MoveRecord(left + 100, top + 50, next()),
        Record(wm::kLButtonDown, left + 100, top + 50, next()),
        Record(wm::kLButtonUp, left + 100, top + 50, next()),
        Record(wm::kXButtonDown, left + 100, top + 50, next(), 1),
        Record(wm::kXButtonUp, left + 100, top + 50, next(), 1),
        Record(wm::kXButtonDown, left + 100, top + 50, next(), 2),
        Record(wm::kXButtonUp, left + 100, top + 50, next(), 2),
        KeyRecord(wm::kKeyDown, pc::kShift, next()),
        KeyRecord(wm::kKeyDown, pc::kA, next()),
        KeyRecord(wm::kKeyUp, pc::kA, next()),
        KeyRecord(wm::kKeyUp, pc::kShift, next()),
        KeyRecord(wm::kKeyDown, pc::kA, next()),
        KeyRecord(wm::kKeyUp, pc::kA, next()),
    };
    for (int32_t delta : {60, 60, -240}) {
        records.push_back(Record(wm::kMouseWheel, left + 200, top + 60, next(), delta));
    }
    for (int i = 0; i < 4; ++i) {
        records.push_back(Record(kMouseHWheel, left + 200, top + 60, next(), 30));
    }
    records.push_back(MoveRecord(640, 360, next()));   // onto the first output
    records.push_back(MoveRecord(9000, -50, next()));  // beyond the layout: its corner
    ASSERT_TRUE(program_.Start({WriteMacro(records), "/S", "/E", "/D"}));

    EXPECT_TRUE(WaitForPosition(100, 50)) << probe_.Transcript() << program_.Output();
    for (const char* line : {"button 272 1", "button 272 0", "button 275 1", "button 275 0",
                             "button 276 1", "button 276 0", "text A", "text a"}) {
        EXPECT_TRUE(probe_.WaitForLine(line, kWait)) << line << "\n" << probe_.Transcript();
    }
    EXPECT_TRUE(probe_.WaitForLine("leave", kWait)) << probe_.Transcript();
    // Wheel: 15 a notch, downwards positive; a whole notch counted once the parts make one.
    EXPECT_EQ(Values("axis", 0), (std::vector<double>{-7.5, -7.5, 30}));
    EXPECT_EQ(Values("discrete", 0), (std::vector<double>{-1, 2}));
    EXPECT_EQ(Values("axis", 1), (std::vector<double>{3.75, 3.75, 3.75, 3.75}));
    EXPECT_EQ(Values("discrete", 1), (std::vector<double>{1}));
    EXPECT_TRUE(WaitForPosition(SwayCompositor::kSecondWidth - 1, 0)) << probe_.Transcript();
    EXPECT_EQ(program_.WaitForExit(kWait), 0) << program_.Output();
}

// Ctrl+Esc from an emulated keyboard, which the program reads from /dev/input as it would
// the user's, ends an endless playback; what the macro held is released.
TEST_F(SwayTest, CtrlEscFromTheKeyboardEndsAnEndlessPlaybackWithNothingHeld) {
    MockDevices devices;
    ASSERT_TRUE(devices.Add(MockDevices::Device::Keyboard)) << devices.Error();
    for (const auto& [name, value] : devices.Environment()) program_.SetEnvironment(name, value);
    // Shift and A held for most of each pass.
    const std::vector<MacroRecord> records = {
        KeyRecord(wm::kKeyDown, pc::kShift, 0), KeyRecord(wm::kKeyDown, pc::kA, 20),
        MoveRecord(SwayCompositor::kSecondX + 30, SwayCompositor::kSecondY + 40, 300),
        KeyRecord(wm::kKeyUp, pc::kA, 320), KeyRecord(wm::kKeyUp, pc::kShift, 340)};
    ASSERT_TRUE(program_.Start({WriteMacro(records), "/A", "/E", "/D"}));
    for (int pass = 0; pass < 2; ++pass) {
        ASSERT_TRUE(probe_.WaitForLine("text A", kWait))
            << probe_.Transcript() << program_.Output();
    }
    ASSERT_TRUE(devices.Chord(MockDevices::Device::Keyboard, {KEY_LEFTCTRL, KEY_ESC}));
    const auto exit = program_.WaitForExit(kWait);
    EXPECT_EQ(exit, 0) << "Ctrl+Esc did not end the endless playback\n" << program_.Output();
    if (!exit) program_.Kill();
    // A key of the test's own after the program's end: every line before it is the program's.
    sway_.SeatDevices()->Key(KEY_F12, true);
    sway_.SeatDevices()->Key(KEY_F12, false);
    sway_.SeatDevices()->Flush();
    ASSERT_TRUE(probe_.WaitForLine("key 88 1", kWait)) << probe_.Transcript();
    std::map<std::string, bool> held;
    std::string modifiers;
    for (const std::string& line : probe_.Lines()) {
        if (line == "key 88 1") break;
        if (line.rfind("key ", 0) == 0) {
            held[line.substr(4, line.rfind(' ') - 4)] = line.back() == '1';
        }
        if (line.rfind("modifiers ", 0) == 0) modifiers = line;
    }
    for (const auto& [key, down] : held) EXPECT_FALSE(down) << "key " << key << " left held";
    EXPECT_EQ(modifiers, "modifiers 0 0 0 0");
}

}  // namespace
