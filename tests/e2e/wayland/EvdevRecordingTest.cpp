// The real program records through the Wayland journal from emulated input devices: keys,
// buttons and wheels come from /dev/input, the pointer's place from their relative motion,
// taken again from the X server (on a Wayland desktop, XWayland) wherever that sees the
// pointer move, and Ctrl+Break read from the device ends the recording.
#include <gtest/gtest.h>
#include <linux/input-event-codes.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

#include "Desktop.h"
#include "MacroFiles.h"
#include "MainWindow.h"
#include "MockDevices.h"
#include "ProgramRunner.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Device = MockDevices::Device;

constexpr uint32_t kMouseHWheel = 0x20E;
constexpr uint32_t kExtended = 0x8000;

MacroRecord Key(uint32_t message, PcKey key) {
    return KeyRecord(message, key, 0);
}
MacroRecord Mouse(uint32_t message, int32_t hwnd = 0) {
    return MacroRecord{message, 300, 500, 0, static_cast<uint32_t>(hwnd)};
}

class EvdevRecordingTest : public ::testing::Test {
  protected:
    // The program on the Wayland journal with one emulated keyboard-and-mouse, recording.
    void SetUp() override {
        ASSERT_TRUE(desktop_.Start(false)) << desktop_.Error();
        ASSERT_TRUE(devices_.Add(Device::KeyboardAndMouse)) << devices_.Error();
        runner_ = std::make_unique<ProgramRunner>(ProgramBinary(), desktop_.DisplayName());
        ASSERT_TRUE(runner_->Prepare());
        runner_->SetEnvironment("TAPEWRIGHT_JOURNAL", "wayland");
        for (const auto& [name, value] : devices_.Environment()) {
            runner_->SetEnvironment(name, value);
        }
        ASSERT_TRUE(runner_->Start({}));
        window_ = WaitForMainWindow(desktop_);
        ASSERT_TRUE(window_.has_value()) << "no main window\n" << runner_->Output();
        idle_ = StopButtonLook(desktop_, *window_);
        ClickTool(desktop_, *window_, kRecordButton);
        ASSERT_TRUE(WaitForRecording(desktop_, *window_, *idle_, true))
            << "the recording did not start\n"
            << runner_->Output();
    }

    void TearDown() override {
        if (!runner_ || !window_) return;
        desktop_.Session().RequestClose(window_->id);
        EXPECT_EQ(runner_->WaitForExit(10s), 0) << "the program did not close";
    }

    bool WaitUntilIdle() { return WaitForRecording(desktop_, *window_, *idle_, false); }

    Desktop desktop_;
    MockDevices devices_;
    std::unique_ptr<ProgramRunner> runner_;
    std::optional<WindowInfo> window_;
    std::optional<Image> idle_;
};

TEST_F(EvdevRecordingTest, RecordsKeysButtonsAndWheelsFromTheDevicesUntilCtrlBreak) {
    desktop_.Input().MoveTo(300, 500);
    desktop_.Input().WaitForServer();
    // One device, so the program reads the events in this order.
    const Device both = Device::KeyboardAndMouse;
    ASSERT_TRUE(devices_.Chord(both, {KEY_LEFTSHIFT, KEY_A}));
    ASSERT_TRUE(devices_.Send(both, {{EV_KEY, BTN_LEFT, 1}}));
    ASSERT_TRUE(devices_.Send(both, {{EV_KEY, BTN_LEFT, 0}}));
    ASSERT_TRUE(devices_.Send(both, {{EV_REL, REL_WHEEL, 1}, {EV_REL, REL_WHEEL_HI_RES, 120}}));
    ASSERT_TRUE(devices_.Send(both, {{EV_REL, REL_HWHEEL_HI_RES, -60}}));
    ASSERT_TRUE(devices_.Send(both, {{EV_KEY, BTN_SIDE, 1}}));
    ASSERT_TRUE(devices_.Send(both, {{EV_KEY, BTN_SIDE, 0}}));
    ASSERT_TRUE(devices_.Send(both, {{EV_REL, REL_X, 4}}));
    // Ctrl+Pause is Break, which ends the recording; B comes after the end.
    ASSERT_TRUE(devices_.Chord(both, {KEY_LEFTCTRL, KEY_PAUSE}));
    ASSERT_TRUE(devices_.Chord(both, {KEY_B}));
    ASSERT_TRUE(WaitUntilIdle()) << "Ctrl+Break did not end the recording\n" << runner_->Output();

    ClickTool(desktop_, *window_, kSaveButton);
    auto chooser = WaitForDialog(desktop_, window_->id, 10s);
    ASSERT_TRUE(chooser.has_value()) << "no save dialog";
    const std::string saved = runner_->File("recorded.mcr");
    TypeIntoFileChooser(desktop_, *chooser, saved);
    for (int i = 0; i < 250 && !fs::exists(saved); ++i) XInput::Pause(20);
    auto records = ReadMacroFile(saved);
    ASSERT_TRUE(records.has_value()) << "no macro saved\n" << runner_->Output();

    MacroRecord breakDown = Key(wm::kKeyDown, pc::kBreak);
    const std::vector<MacroRecord> expected = {
        Key(wm::kKeyDown, pc::kShift), Key(wm::kKeyDown, pc::kA), Key(wm::kKeyUp, pc::kA),
        Key(wm::kKeyUp, pc::kShift), Mouse(wm::kLButtonDown), Mouse(wm::kLButtonUp),
        Mouse(wm::kMouseWheel, 120), Mouse(kMouseHWheel, -60), Mouse(wm::kXButtonDown, 1),
        Mouse(wm::kXButtonUp, 1),
        // No desktop tells the position here:
        // the estimate follows the motion.
        MacroRecord{wm::kMouseMove, 304, 500, 0, 0}, Key(wm::kKeyDown, pc::kControl), breakDown};
    EXPECT_EQ(breakDown.paramH, 1 | kExtended);
    ASSERT_EQ(records->size(), expected.size());
    uint32_t last = 0;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        MacroRecord got = (*records)[i];
        SCOPED_TRACE("record " + std::to_string(i) + ": " + got.Describe());
        // Stamped on the program's clock: from the recording's start, in order.
        EXPECT_LT(got.time, 10000u);
        EXPECT_GE(got.time, last);
        last = got.time;
        got.time = 0;
        EXPECT_EQ(got, expected[i]) << "expected " << expected[i].Describe();
    }
}

TEST_F(EvdevRecordingTest, CtrlEscFromTheDevicesCancelsTheRecording) {
    ASSERT_TRUE(devices_.Chord(Device::KeyboardAndMouse, {KEY_A}));
    ASSERT_TRUE(devices_.Chord(Device::KeyboardAndMouse, {KEY_RIGHTCTRL, KEY_ESC}));
    EXPECT_TRUE(WaitUntilIdle()) << "Ctrl+Esc did not end the recording\n" << runner_->Output();
}

}  // namespace
