// The real program plays macros through KWin's fake input and Mutter's remote desktop to a
// native Wayland window on the second output. The program runs as the compositor's user:
// KWin admits it by its executable, and the session bus by its user. Its own (hidden) window
// and the X display its journal reads the layout from are a private Xvfb, as on sway.
#include <gtest/gtest.h>
#include <linux/input-event-codes.h>

#include <cstdlib>

#include "KwinCompositor.h"
#include "MacroFiles.h"
#include "MockDevices.h"
#include "MutterCompositor.h"
#include "ProbeClient.h"
#include "ProgramRunner.h"
#include "XvfbServer.h"

namespace {

using namespace std::chrono_literals;

constexpr uint32_t kMouseHWheel = 0x20E;
constexpr auto kWait = 20s;

MacroRecord Record(uint32_t message, int x, int y, uint32_t time, int32_t window = 0) {
    return MacroRecord{message, static_cast<uint32_t>(x), static_cast<uint32_t>(y), time,
                       static_cast<uint32_t>(window)};
}

// A place on the second output (left, top), its buttons, Shift+a and a, wheel turns below a
// notch on both axes, and last a move onto the first output. Records lie 100 ms apart, the
// player's step at 100 %; the keys come after the buttons, so that a compositor that gains
// a keyboard at the first playback has given the window its focus by then.
std::vector<MacroRecord> Macro(int left, int top) {
    uint32_t time = 0;
    auto next = [&time] { return time += 100; };
    std::vector<MacroRecord> records = {MoveRecord(left + 100, top + 50, next())};
    for (auto [down, up, button] : {std::tuple{wm::kLButtonDown, wm::kLButtonUp, 0},
                                    {wm::kXButtonDown, wm::kXButtonUp, 1},
                                    {wm::kXButtonDown, wm::kXButtonUp, 2}}) {
        records.push_back(Record(down, left + 100, top + 50, next(), button));
        records.push_back(Record(up, left + 100, top + 50, next(), button));
    }
    for (auto [message, key] : {std::pair{wm::kKeyDown, pc::kShift},
                                {wm::kKeyDown, pc::kA},
                                {wm::kKeyUp, pc::kA},
                                {wm::kKeyUp, pc::kShift},
                                {wm::kKeyDown, pc::kA},
                                {wm::kKeyUp, pc::kA}}) {
        records.push_back(KeyRecord(message, key, next()));
    }
    for (int32_t delta : {60, 60, -240}) {
        records.push_back(Record(wm::kMouseWheel, left + 200, top + 60, next(), delta));
    }
    for (int i = 0; i < 4; ++i) {
        records.push_back(Record(kMouseHWheel, left + 200, top + 60, next(), 30));
    }
    records.push_back(MoveRecord(640, 360, next()));
    return records;
}

class DesktopWayTest : public ::testing::Test {
  protected:
    // Runs the program as the compositor's user with an emulated keyboard, and the probe on
    // output. The program chooses its way in by what the compositor offers.
    void Start(WaylandCompositor& compositor, const std::string& output,
               const Environment& environment) {
        ASSERT_TRUE(keyboard_.Add(MockDevices::Device::Keyboard)) << keyboard_.Error();
        ASSERT_TRUE(keyboard_.GiveTo(compositor.UserId(), compositor.GroupId()));
        for (const auto& [name, value] : keyboard_.Environment()) {
            program_.SetEnvironment(name, value);
        }
        ASSERT_TRUE(compositor.GiveToUser(program_.Directory()));
        program_.SetLauncher(compositor.AsUser());
        program_.SetEnvironment("DISPLAY", xvfb_.DisplayName());
        program_.SetEnvironment("HOME", program_.Directory());
        for (const auto& [name, value] : environment) program_.SetEnvironment(name, value);
        program_.SetEnvironment("TAPEWRIGHT_JOURNAL", "wayland");
        ASSERT_TRUE(probe_.Start(compositor, output));
        ASSERT_TRUE(probe_.WaitForLine("ready", kWait)) << probe_.Transcript() << compositor.Log();
    }

    // Plays the macro, and checks what every compositor delivers the same way.
    void PlayAndCheck(const WaylandCompositor& compositor, int left, int top) {
        const std::string path = program_.File("x.mcr");
        ASSERT_TRUE(WriteMacroFile(path, Macro(left, top)));
        ASSERT_TRUE(program_.Start({path, "/S", "/E", "/D"}));
        EXPECT_TRUE(WaitForPosition(100, 50)) << probe_.Transcript() << program_.Output();
        for (const char* line : {"button 272 1", "button 272 0", "button 275 1", "button 275 0",
                                 "button 276 1", "button 276 0", "text A", "text a"}) {
            EXPECT_TRUE(probe_.WaitForLine(line, kWait))
                << line << "\n"
                << probe_.Transcript() << program_.Output() << compositor.Log();
        }
        EXPECT_TRUE(probe_.WaitForLine("leave", kWait)) << probe_.Transcript();
        EXPECT_EQ(program_.WaitForExit(kWait), 0) << program_.Output();
    }

    // Plays two places on the output at left, top endlessly; Ctrl+Esc on the keyboard, read
    // from the device, ends the run once it has gone round.
    void EndEndlessPlaybackWithCtrlEsc(int left, int top) {
        const std::string path = program_.File("endless.mcr");
        ASSERT_TRUE(WriteMacroFile(
            path, {MoveRecord(left + 10, top + 10, 0), MoveRecord(left + 20, top + 20, 100)}));
        ASSERT_TRUE(program_.Start({path, "/A", "/E", "/D"}));
        for (int place : {10, 20, 10, 20}) {
            ASSERT_TRUE(WaitForPosition(place, place)) << probe_.Transcript() << program_.Output();
        }
        ASSERT_TRUE(program_.Running()) << "an endless run ended by itself";
        ASSERT_TRUE(keyboard_.Chord(MockDevices::Device::Keyboard, {KEY_LEFTCTRL, KEY_ESC}));
        const std::optional<int> exit = program_.WaitForExit(kWait);
        if (!exit) program_.Kill();
        EXPECT_EQ(exit, 0) << "Ctrl+Esc did not end the endless run\n" << program_.Output();
    }

    // The first position line (pointer entry or motion) at x, y on the probe's output.
    bool WaitForPosition(int x, int y) {
        const std::string at = " " + std::to_string(x) + " " + std::to_string(y);
        auto match = [&at](const std::string& line) {
            return line == "enter" + at || line == "motion" + at;
        };
        return probe_.WaitFor(match, kWait).has_value();
    }

    // The values of the lines "<kind> <axis> <value>" so far, in order.
    std::vector<double> Values(const std::string& kind, int axis) const {
        const std::string prefix = kind + " " + std::to_string(axis) + " ";
        std::vector<double> values;
        for (const std::string& line : probe_.Lines()) {
            if (line.rfind(prefix, 0) == 0) {
                values.push_back(std::strtod(line.c_str() + prefix.size(), nullptr));
            }
        }
        return values;
    }

    XvfbServer xvfb_;
    MockDevices keyboard_;
    ProbeClient probe_;
    ProgramRunner program_{TAPEWRIGHT_BINARY, ""};
};

class KwinWayTest : public DesktopWayTest {
  protected:
    void SetUp() override {
        if (!xvfb_.Start()) GTEST_SKIP() << "Xvfb cannot start: " << xvfb_.Error();
        ASSERT_TRUE(program_.Prepare());
        kwin_.Admit(program_.ProgramPath());
        if (!kwin_.Start()) GTEST_SKIP() << "headless KWin cannot start: " << kwin_.Error();
        Start(kwin_, "Virtual-1", kwin_.ClientEnvironment());
    }

    KwinCompositor kwin_;
};

// KWin, like libinput for a wheel, counts 15 to a notch, downwards positive, and passes
// every part of a notch on as it is.
TEST_F(KwinWayTest, PlaysKeysButtonsWheelAndPositionsToANativeWindow) {
    PlayAndCheck(kwin_, KwinCompositor::kWidth, 0);
    EXPECT_EQ(Values("axis", 0), (std::vector<double>{-7.5, -7.5, 30}));
    EXPECT_EQ(Values("axis", 1), (std::vector<double>{3.75, 3.75, 3.75, 3.75}));
}

TEST_F(KwinWayTest, CtrlEscEndsAnEndlessPlayback) {
    EndEndlessPlaybackWithCtrlEsc(KwinCompositor::kWidth, 0);
}

class MutterWayTest : public DesktopWayTest {
  protected:
    void SetUp() override {
        if (!xvfb_.Start()) GTEST_SKIP() << "Xvfb cannot start: " << xvfb_.Error();
        ASSERT_TRUE(program_.Prepare());
        if (!mutter_.Start()) GTEST_SKIP() << "headless Mutter cannot start: " << mutter_.Error();
        Start(mutter_, "Meta-1", mutter_.ProgramEnvironment());
    }

    MutterCompositor mutter_;
};

// Mutter passes a wheel on in the kernel's 120 a notch, downwards positive; parts of a notch
// go as whole twelfths with the rest added to the next turn, so that they sum exactly.
TEST_F(MutterWayTest, PlaysKeysButtonsWheelAndPositionsToANativeWindow) {
    PlayAndCheck(mutter_, MutterCompositor::kSecondX, 0);
    EXPECT_EQ(Values("value120", 0), (std::vector<double>{-60, -60, 240}));
    EXPECT_EQ(Values("value120", 1), (std::vector<double>{24, 36, 24, 36}));
}

TEST_F(MutterWayTest, CtrlEscEndsAnEndlessPlayback) {
    EndEndlessPlaybackWithCtrlEsc(MutterCompositor::kSecondX, 0);
}

}  // namespace
