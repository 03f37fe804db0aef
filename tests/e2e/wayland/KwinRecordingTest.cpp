// The real program records under headless KWin: keys, buttons and wheels from emulated input
// devices, the pointer's place from the KWin script the program loads for the recording.
// The pointer is moved through KWin's fake input by a tool of the test's own, standing in
// for the user's mouse, which KWin does not see here. The program runs as KWin's user on
// KWin's session bus; its window is on a private Xvfb, as in the other Wayland tests. The
// saved macro is then played on the same KWin, to a probe window on the second output.
#include <gtest/gtest.h>
#include <linux/input-event-codes.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

#include "BusMonitor.h"
#include "Desktop.h"
#include "KwinCompositor.h"
#include "MacroFiles.h"
#include "MainWindow.h"
#include "MockDevices.h"
#include "ProbeClient.h"
#include "ProgramRunner.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Device = MockDevices::Device;

constexpr auto kWait = 20s;

MacroRecord Mouse(uint32_t message, int x, int y, int32_t hwnd = 0) {
    return MacroRecord{message, static_cast<uint32_t>(x), static_cast<uint32_t>(y), 0,
                       static_cast<uint32_t>(hwnd)};
}

class KwinRecordingTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!desktop_.Start(false)) GTEST_SKIP() << "Xvfb cannot start: " << desktop_.Error();
        runner_ = std::make_unique<ProgramRunner>(ProgramBinary(), desktop_.DisplayName());
        ASSERT_TRUE(runner_->Prepare());
        kwin_.Admit(runner_->ProgramPath());
        kwin_.AdmitTool(TAPEWRIGHT_KWIN_POINTER);
        kwin_.SetScale(2);
        if (!kwin_.Start()) GTEST_SKIP() << "headless KWin cannot start: " << kwin_.Error();
        ASSERT_TRUE(monitor_.Start(kwin_.AsUser(), kwin_.BusAddress(), kWait))
            << monitor_.Transcript() << kwin_.Log();
        ASSERT_TRUE(WaitForScripting()) << "KWin's scripting is not on its bus\n" << kwin_.Log();
        ASSERT_TRUE(devices_.Add(Device::KeyboardAndMouse)) << devices_.Error();
        ASSERT_TRUE(devices_.GiveTo(kwin_.UserId(), kwin_.GroupId()));
        for (const auto& [name, value] : devices_.Environment()) {
            runner_->SetEnvironment(name, value);
        }
        for (const auto& [name, value] : kwin_.ClientEnvironment()) {
            runner_->SetEnvironment(name, value);
        }
        runner_->SetEnvironment("DBUS_SESSION_BUS_ADDRESS", kwin_.BusAddress());
        runner_->SetEnvironment("XDG_CURRENT_DESKTOP", "KDE");
        runner_->SetEnvironment("HOME", runner_->Directory());
        runner_->SetEnvironment("TAPEWRIGHT_JOURNAL", "wayland");
        ASSERT_TRUE(kwin_.GiveToUser(runner_->Directory()));
        runner_->SetLauncher(kwin_.AsUser());
        ASSERT_TRUE(runner_->Start({}));
        window_ = WaitForMainWindow(desktop_);
        ASSERT_TRUE(window_.has_value()) << "no main window\n" << runner_->Output();
        idle_ = StopButtonLook(desktop_, *window_);
    }

    void TearDown() override {
        if (!runner_ || !window_) return;
        desktop_.Session().RequestClose(window_->id);
        EXPECT_EQ(runner_->WaitForExit(10s), 0) << "the program did not close";
    }

    // Moves KWin's pointer and waits until the program has answered the script's report of
    // it: a device event after this is stamped after the report.
    bool MoveTo(int x, int y) {
        if (!Point(x, y)) return false;
        const std::string data = "int32 " + std::to_string(x) + " int32 " + std::to_string(y);
        return monitor_.WaitForAnswered("Moved", data, kWait);
    }

    // Moves KWin's pointer through its fake input.
    bool Point(int x, int y) {
        std::vector<std::string> argv = kwin_.AsUser();
        argv.insert(argv.end(), {TAPEWRIGHT_KWIN_POINTER, std::to_string(x), std::to_string(y)});
        ChildProcess tool;
        ChildOptions options;
        options.environment = kwin_.ClientEnvironment();
        return tool.Start(argv, options) && tool.Wait(kWait) == 0;
    }

    // KWin's socket comes before its objects on the bus.
    bool WaitForScripting() {
        const auto deadline = std::chrono::steady_clock::now() + kWait;
        while (std::chrono::steady_clock::now() < deadline) {
            bool failed = true;
            monitor_.Call("org.kde.KWin", "/Scripting", "org.kde.kwin.Scripting.isScriptLoaded",
                          {"string:none"}, kWait, &failed);
            if (!failed) return true;
            monitor_.WaitForAnswered("none", "", 100ms);  // reads the bus meanwhile
        }
        return false;
    }

    // True once KWin has no script of the program's loaded.
    bool WaitForScriptUnloaded() {
        const std::string name = "tapewright-pointer-" + std::to_string(runner_->Pid());
        const auto deadline = std::chrono::steady_clock::now() + kWait;
        while (std::chrono::steady_clock::now() < deadline) {
            const std::string loaded =
                monitor_.Call("org.kde.KWin", "/Scripting", "org.kde.kwin.Scripting.isScriptLoaded",
                              {"string:" + name}, kWait);
            if (loaded == "boolean false") return true;
            monitor_.WaitForAnswered("none", "", 100ms);  // reads the bus meanwhile
        }
        return false;
    }

    std::optional<std::vector<MacroRecord>> Save() {
        ClickTool(desktop_, *window_, kSaveButton);
        auto chooser = WaitForDialog(desktop_, window_->id, 10s);
        if (!chooser) return std::nullopt;
        TypeIntoFileChooser(desktop_, *chooser, Saved());
        for (int i = 0; i < 250 && !fs::exists(Saved()); ++i) XInput::Pause(20);
        return ReadMacroFile(Saved());
    }

    std::string Saved() const { return runner_->File("recorded.mcr"); }

    // Closes the main window and plays the saved macro from the command line, with the probe
    // fullscreen on the second output.
    void Play() {
        desktop_.Session().RequestClose(window_->id);
        window_.reset();
        ASSERT_EQ(runner_->WaitForExit(10s), 0) << "the program did not close";
        ASSERT_TRUE(probe_.Start(kwin_, "Virtual-1"));
        ASSERT_TRUE(probe_.WaitForLine("ready", kWait)) << probe_.Transcript() << kwin_.Log();
        // KWin shows a window some time after its first frame; a press before that is lost.
        ASSERT_TRUE(Point(KwinCompositor::kWidth + 640, 360));
        ASSERT_TRUE(WaitForPosition(640, 360)) << probe_.Transcript();
        ASSERT_TRUE(runner_->Start({Saved(), "/S", "/E", "/D"}));
    }

    // The next pointer entry or motion at x, y on the probe's output.
    bool WaitForPosition(int x, int y) {
        const std::string at = " " + std::to_string(x) + " " + std::to_string(y);
        auto match = [&at](const std::string& line) {
            return line == "enter" + at || line == "motion" + at;
        };
        return probe_.WaitFor(match, kWait).has_value();
    }

    Desktop desktop_;
    KwinCompositor kwin_;
    BusMonitor monitor_;
    MockDevices devices_;
    std::unique_ptr<ProgramRunner> runner_;
    std::optional<WindowInfo> window_;
    std::optional<Image> idle_;
    ProbeClient probe_;
};

// Two outputs of 1280 x 720 logical pixels side by side, at a scale of 2: the second one's
// origin is (1280, 0). The macro plays the clicks back at the places KWin reported: device
// pixels on either side would put them at twice or half the place.
TEST_F(KwinRecordingTest, MouseRecordsCarryThePositionsKwinReportsAndPlayThereAgain) {
    ClickTool(desktop_, *window_, kRecordButton);
    ASSERT_TRUE(WaitForRecording(desktop_, *window_, *idle_, true))
        << "the recording did not start\n"
        << runner_->Output();
    const Device both = Device::KeyboardAndMouse;
    ASSERT_TRUE(MoveTo(1380, 50)) << monitor_.Transcript() << runner_->Output() << kwin_.Log();
    ASSERT_TRUE(devices_.Send(both, {{EV_KEY, BTN_LEFT, 1}}));
    ASSERT_TRUE(devices_.Send(both, {{EV_KEY, BTN_LEFT, 0}}));
    ASSERT_TRUE(MoveTo(300, 600)) << monitor_.Transcript();
    // The device's own motion is not KWin's here: the record takes KWin's position.
    ASSERT_TRUE(devices_.Send(both, {{EV_REL, REL_X, 3}}));
    ASSERT_TRUE(devices_.Send(both, {{EV_REL, REL_WHEEL, 1}, {EV_REL, REL_WHEEL_HI_RES, 120}}));
    ASSERT_TRUE(devices_.Chord(both, {KEY_A}));
    ASSERT_TRUE(MoveTo(2500, 700)) << monitor_.Transcript();
    ASSERT_TRUE(devices_.Send(both, {{EV_KEY, BTN_RIGHT, 1}}));
    ASSERT_TRUE(devices_.Send(both, {{EV_KEY, BTN_RIGHT, 0}}));
    ASSERT_TRUE(devices_.Chord(both, {KEY_LEFTCTRL, KEY_PAUSE}));  // Ctrl+Break ends it
    ASSERT_TRUE(WaitForRecording(desktop_, *window_, *idle_, false))
        << "Ctrl+Break did not end the recording\n"
        << runner_->Output();
    EXPECT_TRUE(WaitForScriptUnloaded()) << "the recording's end left the script in KWin";

    auto records = Save();
    ASSERT_TRUE(records.has_value()) << "no macro saved\n" << runner_->Output();
    const std::vector<MacroRecord> expected = {
        Mouse(wm::kLButtonDown, 1380, 50),        Mouse(wm::kLButtonUp, 1380, 50),
        Mouse(wm::kMouseMove, 300, 600),          Mouse(wm::kMouseWheel, 300, 600, 120),
        KeyRecord(wm::kKeyDown, pc::kA, 0),       KeyRecord(wm::kKeyUp, pc::kA, 0),
        Mouse(wm::kRButtonDown, 2500, 700),       Mouse(wm::kRButtonUp, 2500, 700),
        KeyRecord(wm::kKeyDown, pc::kControl, 0), KeyRecord(wm::kKeyDown, pc::kBreak, 0)};
    ASSERT_EQ(records->size(), expected.size()) << runner_->Output();
    for (std::size_t i = 0; i < expected.size(); ++i) {
        MacroRecord got = (*records)[i];
        got.time = 0;
        EXPECT_EQ(got, expected[i])
            << "record " << i << ": " << got.Describe() << ", expected " << expected[i].Describe();
    }

    ASSERT_NO_FATAL_FAILURE(Play());
    auto seen = [this] { return probe_.Transcript() + runner_->Output() + kwin_.Log(); };
    ASSERT_TRUE(WaitForPosition(100, 50)) << seen();
    for (const char* line : {"button 272 1", "button 272 0", "leave"}) {
        ASSERT_TRUE(probe_.WaitForLine(line, kWait)) << line << "\n" << seen();
    }
    ASSERT_TRUE(WaitForPosition(1220, 700)) << seen();
    for (const char* line : {"button 273 1", "button 273 0"}) {
        ASSERT_TRUE(probe_.WaitForLine(line, kWait)) << line << "\n" << seen();
    }
    EXPECT_EQ(runner_->WaitForExit(kWait), 0) << runner_->Output();
}

}  // namespace
