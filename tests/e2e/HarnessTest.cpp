// The harness checked on its own, without the program: if these fail, an end-to-end failure
// says nothing about the program.
#include <X11/keysym.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <csignal>
#include <filesystem>
#include <fstream>

#include "ChildProcess.h"
#include "Desktop.h"
#include "MacroFiles.h"
#include "Timing.h"

namespace {

using namespace std::chrono_literals;

std::string ScratchFile(const std::string& name) {
    return (std::filesystem::path(::testing::TempDir()) / name).string();
}

TEST(MacroFilesTest, WritesLittleEndianRecordsAndReadsThemBack) {
    const std::string path = ScratchFile("harness-roundtrip.mcr");
    std::vector<MacroRecord> records{KeyRecord(wm::kKeyDown, pc::kA, 1000),
                                     MoveRecord(300, 500, 0x01020304),
                                     KeyRecord(wm::kKeyDown, pc::kBreak, 7)};
    ASSERT_TRUE(WriteMacroFile(path, records));

    std::string bytes = ReadWholeFile(path);
    ASSERT_EQ(bytes.size(), 60u);
    EXPECT_EQ(bytes.substr(0, 12),
              std::string("\x00\x01\x00\x00\x41\x1E\x00\x00\x01\x00\x00\x00", 12));
    EXPECT_EQ(bytes.substr(12, 4), std::string("\xE8\x03\x00\x00", 4));
    EXPECT_EQ(bytes.substr(32, 4), std::string("\x04\x03\x02\x01", 4));
    EXPECT_EQ(bytes.substr(48, 4), std::string("\x01\x80\x00\x00", 4)) << "extended key flag";

    auto back = ReadMacroFile(path);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, records);
    EXPECT_EQ(back->front().VirtualKey(), 0x41);
    EXPECT_EQ(back->front().ScanCode(), 0x1E);
}

TEST(MacroFilesTest, RejectsTornRecordsAndMissingFiles) {
    const std::string path = ScratchFile("harness-torn.mcr");
    WriteMacroFile(path, {MoveRecord(1, 2, 3)});
    std::filesystem::resize_file(path, 30);
    EXPECT_FALSE(ReadMacroFile(path).has_value());
    EXPECT_FALSE(ReadMacroFile(ScratchFile("harness-missing.mcr")).has_value());
}

TEST(MacroFilesTest, WritesListsWithCrLfAndParsesSettings) {
    const std::string list = ScratchFile("harness.mlf");
    ASSERT_TRUE(WriteMacroList(list, {"/a/one.mcr", "/b/two.mcr"}));
    EXPECT_EQ(ReadWholeFile(list), "/a/one.mcr\r\n/b/two.mcr\r\n");

    const std::string ini = ScratchFile("harness.ini");
    {
        std::ofstream out(ini, std::ios::binary);
        out << "[OTHER]\r\nPOS.X=1\r\n[WINDOW]\r\nPOS.X=357\r\nPOS.Y = -12\r\n";
    }
    auto values = ReadIniFile(ini);
    ASSERT_TRUE(values.has_value());
    EXPECT_EQ((*values)["WINDOW"]["POS.X"], "357");
    EXPECT_EQ((*values)["WINDOW"]["POS.Y"], "-12");
    EXPECT_EQ((*values)["OTHER"]["POS.X"], "1");
}

TEST(TimingTest, MeasuresAgainstTheFirstEvent) {
    // Start-up delay of 40 ms is not an error; the third event is 3 ms late, the fourth 2 early.
    TimingFigures figures = MeasureTiming({0, 100, 200, 300}, {1040, 1140, 1243, 1338});
    EXPECT_EQ(figures.events, 4u);
    EXPECT_EQ(figures.worst, 3);
    EXPECT_EQ(figures.drift, -2);
    EXPECT_EQ(figures.earliest, -2);
    EXPECT_EQ(figures.median, 0);  // nearest rank: the 2nd of {0, 0, 2, 3}
    EXPECT_EQ(figures.errors, (std::vector<int64_t>{0, 0, 3, -2}));
    EXPECT_EQ(figures.Histogram(), "0 ms: 2, 2 ms: 1, 3 ms: 1");
}

TEST(TimingTest, SurvivesServerClockWrapAndComputesPercentiles) {
    TimingFigures figures = MeasureTiming({0, 100}, {0xFFFFFFF0u, 0x00000054u});
    EXPECT_EQ(figures.drift, 0);
    std::vector<double> values;
    for (int i = 1; i <= 200; ++i) values.push_back(i);
    EXPECT_EQ(Percentile(values, 0.99), 198);
    EXPECT_EQ(Percentile(values, 0.5), 100);
    EXPECT_EQ(Percentile({}, 0.5), 0);
    EXPECT_EQ(ScaledTime(150, 50), 50u) << "the player divides before it multiplies";
    EXPECT_EQ(ScaledTime(1500, 50), 750u);
}

TEST(ChildProcessTest, ReportsExitCodesTimeoutsAndMissingPrograms) {
    ChildProcess quick;
    ASSERT_TRUE(quick.Start({"sh", "-c", "exit 3"}));
    EXPECT_EQ(quick.Wait(5s), 3);

    ChildProcess slow;
    ASSERT_TRUE(slow.Start({"sleep", "30"}));
    EXPECT_FALSE(slow.Wait(50ms).has_value());
    EXPECT_TRUE(slow.Running());
    EXPECT_EQ(slow.Stop(), 128 + SIGTERM);

    ASSERT_TRUE(quick.Start({"sh", "-c", "sleep 0.2; exit 4"})) << "a second start";
    EXPECT_FALSE(quick.Wait(10ms).has_value()) << "the first run's status came back";
    EXPECT_EQ(quick.Wait(5s), 4);

    ChildProcess missing;
    EXPECT_FALSE(missing.Start({"/nonexistent/tapewright-e2e-none"}));
    EXPECT_NE(missing.Error().find("cannot start"), std::string::npos);
}

// One server and client for the checks below.
class DesktopTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        desktop_ = new Desktop;
        if (!desktop_->Start()) {
            error_ = desktop_->Error();
            delete desktop_;
            desktop_ = nullptr;
        }
    }
    static void TearDownTestSuite() {
        delete desktop_;
        desktop_ = nullptr;
    }
    void SetUp() override { ASSERT_NE(desktop_, nullptr) << error_; }

    static Desktop* desktop_;
    static std::string error_;
};

Desktop* DesktopTest::desktop_ = nullptr;
std::string DesktopTest::error_;

TEST_F(DesktopTest, ClientWindowSitsClearOfTheProgramsWindow) {
    auto client = desktop_->Session().FindWindow(
        [](const WindowInfo& w) { return w.name == "tapewright-event-client"; });
    ASSERT_TRUE(client.has_value());
    EXPECT_TRUE(client->viewable);
    EXPECT_EQ(client->x, Desktop::kClientX);
    EXPECT_EQ(client->y, Desktop::kClientY);
    EXPECT_EQ(client->width, Desktop::kClientWidth);
    EXPECT_EQ(client->height, Desktop::kClientHeight);
    EXPECT_EQ(client->id, desktop_->Client().WindowId());
    EXPECT_GE(client->y, 162 + 82) << "overlaps the program's default place";
}

TEST_F(DesktopTest, ClientLogsKeysWithModifiersButtonsMotionAndWheel) {
    XInput& input = desktop_->Input();
    std::size_t mark = desktop_->Rest();
    input.MoveTo(100, 400);
    input.Tap(XK_a, {XK_Shift_L});
    input.Click(1);
    input.Wheel(1);
    ASSERT_TRUE(desktop_->Settle());

    std::vector<ClientEvent> events = desktop_->EventsSince(mark);
    std::vector<ExpectedEvent> expected = ExpectedEvents(
        {MoveRecord(100, 400, 0), KeyRecord(wm::kKeyDown, pc::kShift, 0),
         KeyRecord(wm::kKeyDown, pc::kA, 0), KeyRecord(wm::kKeyUp, pc::kA, 0),
         KeyRecord(wm::kKeyUp, pc::kShift, 0), MacroRecord{wm::kLButtonDown, 100, 400, 0, 0},
         MacroRecord{wm::kLButtonUp, 100, 400, 0, 0},
         MacroRecord{wm::kMouseWheel, 100, 400, 0, 120}},
        input);
    EXPECT_EQ(CompareEvents(expected, events), "");
    ASSERT_GE(events.size(), 3u);
    EXPECT_EQ(events[2].keysym, "a");
    EXPECT_TRUE(events[2].state & ShiftMask) << "the a arrived without Shift";
    for (std::size_t i = 1; i < events.size(); ++i) EXPECT_GE(events[i].time, events[i - 1].time);
}

TEST_F(DesktopTest, ClientTakesTheFocusBackFromAnotherWindow) {
    Display* display = desktop_->Session().Handle();
    Window other =
        XCreateSimpleWindow(display, DefaultRootWindow(display), 900, 50, 50, 50, 0, 0, 0);
    XMapWindow(display, other);
    XSync(display, False);
    desktop_->Session().Focus(other);

    std::size_t mark = desktop_->Rest();
    bool back = false;
    for (int i = 0; i < 100 && !back; ++i) {
        Window focus = 0;
        int revert = 0;
        XGetInputFocus(display, &focus, &revert);
        back = focus == desktop_->Client().WindowId();
        if (!back) XInput::Pause(10);
    }
    EXPECT_TRUE(back);
    desktop_->Input().Tap(XK_b);
    ASSERT_TRUE(desktop_->Settle());
    auto events = desktop_->EventsSince(mark);
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].keysym, "b");
    XDestroyWindow(display, other);
    XSync(display, False);
}

TEST_F(DesktopTest, TypesShiftedTextAndSeesHeldKeys) {
    XInput& input = desktop_->Input();
    std::size_t mark = desktop_->Rest();
    ASSERT_TRUE(input.Type("/t_A.1\n"));
    ASSERT_TRUE(desktop_->Settle());
    std::vector<std::string> pressed;
    for (const ClientEvent& event : desktop_->EventsSince(mark)) {
        if (event.kind != ClientEvent::Key || !event.press) continue;
        pressed.push_back((event.state & ShiftMask ? "S-" : "") + event.keysym);
    }
    EXPECT_EQ(pressed, (std::vector<std::string>{"slash", "t", "Shift_L", "S-minus", "Shift_L",
                                                 "S-a", "period", "1", "Return"}));

    XSession& session = desktop_->Session();
    EXPECT_TRUE(session.KeysHeld().empty());
    input.KeyDown(XK_Control_L);
    EXPECT_EQ(session.KeysHeld(), std::vector<int>{input.KeyCodeOf(XK_Control_L)});
    input.KeyUp(XK_Control_L);
    EXPECT_TRUE(session.KeysHeld().empty());
}

TEST_F(DesktopTest, CapturesTheScreen) {
    Image image = desktop_->Session().Capture(Desktop::kClientX, Desktop::kClientY, 40, 30);
    ASSERT_EQ(image.width, 40);
    ASSERT_EQ(image.rgb.size(), 40u * 30u * 3u);
    EXPECT_EQ(image.Pixel(10, 10), 0xFFFFFFu) << "the client's background is white";
    EXPECT_EQ(image.ColourCount(0, 0, 40, 30), 1u);
}

}  // namespace
