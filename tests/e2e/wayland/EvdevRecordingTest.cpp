// The real program records through the Wayland journal from emulated input devices: keys,
// buttons and wheels come from /dev/input, the pointer's place from their relative motion,
// taken again from the X server (on a Wayland desktop, XWayland) wherever that sees the
// pointer move, and Ctrl+Break read from the device ends the recording.
#include <gtest/gtest.h>
#include <linux/input-event-codes.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <thread>

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
        ASSERT_NO_FATAL_FAILURE(PrepareDesktop());
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

    // What the desktop offers beyond XWayland, before the program starts.
    virtual void PrepareDesktop() {}

    bool WaitUntilIdle() { return WaitForRecording(desktop_, *window_, *idle_, false); }

    // Saves the ended recording through the save dialog and reads it back.
    std::optional<std::vector<MacroRecord>> Save() {
        ClickTool(desktop_, *window_, kSaveButton);
        auto chooser = WaitForDialog(desktop_, window_->id, 10s);
        if (!chooser) return std::nullopt;
        const std::string saved = runner_->File("recorded.mcr");
        TypeIntoFileChooser(desktop_, *chooser, saved);
        for (int i = 0; i < 250 && !fs::exists(saved); ++i) XInput::Pause(20);
        return ReadMacroFile(saved);
    }

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

    auto records = Save();
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

// A Hyprland session as the program sees it: the instance's IPC socket, answered by a thread
// of the test as Hyprland answers cursorpos (the pointer on an output above the primary).
class HyprlandRecordingTest : public EvdevRecordingTest {
  protected:
    void PrepareDesktop() override {
        const std::string instance = runner_->File("run/hypr/e2e");
        fs::create_directories(instance);
        const std::string path = instance + "/.socket.sock";
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        ASSERT_LT(path.size(), sizeof(address.sun_path)) << path;
        std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
        listener_ = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        ASSERT_EQ(bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
        ASSERT_EQ(listen(listener_, 16), 0);
        server_ = std::thread([this] { Serve(); });
        runner_->SetEnvironment("XDG_RUNTIME_DIR", runner_->File("run"));
        runner_->SetEnvironment("HYPRLAND_INSTANCE_SIGNATURE", "e2e");
    }
    void TearDown() override {
        EvdevRecordingTest::TearDown();
        stop_ = true;
        if (server_.joinable()) server_.join();
        if (listener_ >= 0) close(listener_);
    }
    void Serve() {
        while (!stop_) {
            pollfd watched{listener_, POLLIN, 0};
            if (poll(&watched, 1, 20) <= 0) continue;
            const int client = accept(listener_, nullptr, nullptr);
            if (client < 0) continue;
            char request[64];
            if (recv(client, request, sizeof(request), 0) > 0) {
                ++asked;
                send(client, "1500, -200", 10, MSG_NOSIGNAL);
            }
            close(client);
        }
    }

    std::atomic<int> asked{0};
    int listener_ = -1;
    std::atomic<bool> stop_{false};
    std::thread server_;
};

TEST_F(HyprlandRecordingTest, MouseRecordsCarryThePositionHyprlandTells) {
    desktop_.Input().MoveTo(300, 500);  // where XWayland last saw the pointer: not used
    desktop_.Input().WaitForServer();
    const Device both = Device::KeyboardAndMouse;
    ASSERT_TRUE(devices_.Send(both, {{EV_REL, REL_X, 4}, {EV_REL, REL_Y, 2}}));
    ASSERT_TRUE(devices_.Send(both, {{EV_KEY, BTN_RIGHT, 1}}));
    ASSERT_TRUE(devices_.Send(both, {{EV_KEY, BTN_RIGHT, 0}}));
    ASSERT_TRUE(devices_.Chord(both, {KEY_LEFTCTRL, KEY_PAUSE}));
    ASSERT_TRUE(WaitUntilIdle()) << "Ctrl+Break did not end the recording\n" << runner_->Output();
    auto records = Save();
    ASSERT_TRUE(records.has_value()) << "no macro saved\n" << runner_->Output();
    ASSERT_EQ(records->size(), 5u);
    for (std::size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE("record " + std::to_string(i) + ": " + (*records)[i].Describe());
        EXPECT_EQ((*records)[i].paramL, 1500u);
        EXPECT_EQ((*records)[i].paramH, static_cast<uint32_t>(-200));
    }
    EXPECT_GE(asked, 1) << "Hyprland was not asked";
}

}  // namespace
