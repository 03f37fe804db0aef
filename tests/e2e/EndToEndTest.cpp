// The real tapewright program under a private X server: what it records from injected input,
// what it plays into a client window and when, how command-line runs end, what it stores in
// its settings file, and that a cancelled playback leaves no key or button held.
#include <X11/keysym.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <map>
#include <tuple>

#include "ChildProcess.h"
#include "Desktop.h"
#include "MacroFiles.h"
#include "MainWindow.h"
#include "ProgramRunner.h"
#include "Timing.h"

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

constexpr int kWindowWidth = 303;
constexpr int kHiddenHeight = 82;
constexpr int kDefaultLeft = 357;
constexpr int kDefaultTop = 162;

// Twenty records 100 ms apart: five times a move, a key press, its release and a move.
std::vector<MacroRecord> KeysAndMoves(uint32_t spacing = 100) {
    const PcKey keys[] = {pc::kA, pc::kB, pc::kC, pc::kD, pc::kA};
    std::vector<MacroRecord> records;
    uint32_t time = 0;
    for (int i = 0; i < 5; ++i) {
        records.push_back(MoveRecord(100 + 60 * i, 350 + 40 * i, time));
        records.push_back(KeyRecord(wm::kKeyDown, keys[i], time += spacing));
        records.push_back(KeyRecord(wm::kKeyUp, keys[i], time += spacing));
        records.push_back(MoveRecord(130 + 60 * i, 370 + 40 * i, time += spacing));
        time += spacing;
    }
    return records;
}

std::vector<MacroRecord> Repeated(const std::vector<MacroRecord>& records, int times) {
    std::vector<MacroRecord> all;
    for (int i = 0; i < times; ++i) all.insert(all.end(), records.begin(), records.end());
    return all;
}

std::string Describe(const std::vector<ClientEvent>& events) {
    std::string text;
    for (const ClientEvent& event : events) text += "  " + event.Describe() + "\n";
    return text;
}

class ProgramTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const std::string binary = ProgramBinary();
        ASSERT_TRUE(fs::exists(binary)) << "no program at " << binary;
        ASSERT_TRUE(desktop_.Start()) << desktop_.Error();
        runner_ = std::make_unique<ProgramRunner>(binary, desktop_.DisplayName());
        ASSERT_TRUE(runner_->Prepare()) << "cannot copy " << binary;
    }

    // On failure: the program's output, and the client's whole log kept as an artifact.
    void TearDown() override {
        if (runner_ == nullptr || !HasFailure()) return;
        std::cout << "program output:\n" << runner_->Output();
        const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
        fs::create_directories(ArtifactDirectory());
        const std::string path = ArtifactDirectory() + "/" + test->name() + "-client.log";
        std::ofstream log(path);
        for (const std::string& line : desktop_.Client().LinesSince(0)) log << line << "\n";
        std::cout << "client log: " << path << "\n";
    }

    std::string WriteMacro(const std::string& name, const std::vector<MacroRecord>& records) {
        std::string path = runner_->File(name);
        EXPECT_TRUE(WriteMacroFile(path, records));
        return path;
    }

    // Saves the macro through the Save button's file chooser; the saved file's path, or an
    // empty text when no file came.
    std::string SaveRecording(const WindowInfo& window, const std::string& name);

    void PressCtrlEsc() {
        XInput& input = desktop_.Input();
        input.KeyDown(XK_Control_L);
        input.Tap(XK_Escape);
        input.KeyUp(XK_Control_L);
    }

    // Whether a key held through XTEST repeats now: holds one until the client sees a second
    // press, or for long past the repeat delay.
    bool XTestKeyRepeats() {
        std::size_t mark = desktop_.Rest();
        XInput& input = desktop_.Input();
        input.KeyDown(XK_b);
        bool repeated = false;
        for (int i = 0; i < 300 && !repeated; ++i) {
            XInput::Pause(10);
            repeated = KeyPresses(desktop_.EventsSince(mark), "b") >= 2;
        }
        input.KeyUp(XK_b);
        return repeated;
    }

    static int KeyPresses(const std::vector<ClientEvent>& events, const std::string& keysym) {
        return static_cast<int>(std::count_if(events.begin(), events.end(), [&](const auto& e) {
            return e.kind == ClientEvent::Key && e.press && e.keysym == keysym;
        }));
    }

    struct Run {
        std::optional<int> exit;
        std::vector<ClientEvent> events;
    };

    // Starts the program, waits for it to end by itself and collects what the client got.
    Run RunToEnd(const std::vector<std::string>& arguments, std::chrono::milliseconds timeout) {
        Run run;
        std::size_t mark = desktop_.Rest();
        if (!runner_->Start(arguments)) return run;
        run.exit = runner_->WaitForExit(timeout);
        EXPECT_TRUE(desktop_.Settle());
        run.events = desktop_.EventsSince(mark);
        return run;
    }

    TimingFigures TimingOf(const std::vector<ExpectedEvent>& expected,
                           const std::vector<ClientEvent>& events, uint32_t percent) {
        std::vector<uint32_t> due;
        std::vector<uint32_t> delivered;
        for (std::size_t i = 0; i < std::min(expected.size(), events.size()); ++i) {
            due.push_back(ScaledTime(expected[i].event.time, percent));
            delivered.push_back(events[i].time);
        }
        return MeasureTiming(due, delivered);
    }

    Desktop desktop_;
    std::unique_ptr<ProgramRunner> runner_;
};

// ---------------------------------------------------------------------------------------
// Recording

// The record a client event should have made, by an independent table of the keys used;
// nothing for events that make none (a wheel button's release).
std::optional<MacroRecord> RecordOf(const ClientEvent& event, bool ctrlHeld) {
    static const std::map<std::string, PcKey> keys{
        {"a", pc::kA}, {"c", pc::kC}, {"Shift_L", pc::kShift}, {"Control_L", pc::kControl}};
    switch (event.kind) {
        case ClientEvent::Motion:
            return MoveRecord(event.x, event.y, event.time);
        case ClientEvent::Button: {
            const uint32_t x = static_cast<uint32_t>(event.x);
            const uint32_t y = static_cast<uint32_t>(event.y);
            if (event.code == 1) {
                return MacroRecord{event.press ? wm::kLButtonDown : wm::kLButtonUp, x, y,
                                   event.time, 0};
            }
            if (event.code == 4 && event.press) {
                return MacroRecord{wm::kMouseWheel, x, y, event.time, 120};
            }
            if (event.code == 8 || event.code == 9) {  // Back and Forward
                return MacroRecord{event.press ? wm::kXButtonDown : wm::kXButtonUp, x, y,
                                   event.time, event.code - 7};
            }
            return std::nullopt;
        }
        case ClientEvent::Key: {
            const uint32_t message = event.press ? wm::kKeyDown : wm::kKeyUp;
            if (event.keysym == "Pause" && ctrlHeld) {
                return KeyRecord(message, pc::kBreak, event.time);
            }
            auto key = keys.find(event.keysym);
            if (key == keys.end()) return std::nullopt;
            return KeyRecord(message, key->second, event.time);
        }
    }
    return std::nullopt;
}

// What the client saw from the first move to the Break press, as the records it should
// have made.
std::vector<MacroRecord> RecordsOf(const std::vector<ClientEvent>& events) {
    std::vector<MacroRecord> records;
    bool ctrlHeld = false;
    for (const ClientEvent& event : events) {
        auto record = RecordOf(event, ctrlHeld);
        if (event.kind == ClientEvent::Key && event.keysym == "Control_L") ctrlHeld = event.press;
        if (!record) continue;
        records.push_back(*record);
        if (record->VirtualKey() == pc::kBreak.virtualKey && record->IsKey()) break;
    }
    return records;
}

std::string ProgramTest::SaveRecording(const WindowInfo& window, const std::string& name) {
    EXPECT_TRUE(desktop_.StopClient()) << "the client window stayed";
    ClickTool(desktop_, window, kSaveButton);
    const std::string saved = runner_->File(name);
    auto chooser = WaitForDialog(desktop_, window.id, 10s);
    if (!chooser) {
        ADD_FAILURE() << "no save dialog";
        return {};
    }
    Image shot =
        desktop_.Session().Capture(chooser->x, chooser->y, chooser->width, chooser->height);
    fs::create_directories(ArtifactDirectory());
    shot.WritePpm(ArtifactDirectory() + "/save-dialog.ppm");
    TypeIntoFileChooser(desktop_, *chooser, saved);
    for (int i = 0; i < 250 && !fs::exists(saved); ++i) XInput::Pause(20);
    if (fs::exists(saved)) return saved;
    ADD_FAILURE() << "Save wrote no file " << saved;
    return {};
}

TEST_F(ProgramTest, RecordsInjectedKeysMouseAndWheelUntilCtrlBreakAndSavesThem) {
    ASSERT_TRUE(runner_->Start({}));
    auto window = WaitForMainWindow(desktop_);
    ASSERT_TRUE(window.has_value()) << "no main window";

    const Image idle = StopButtonLook(desktop_, *window);
    ClickTool(desktop_, *window, kRecordButton);
    ASSERT_TRUE(WaitForRecording(desktop_, *window, idle, true)) << "the recording did not start";
    XInput& input = desktop_.Input();
    std::size_t mark = desktop_.Client().Mark();
    const std::vector<std::function<void()>> steps = {
        [&] { input.MoveTo(100, 400); },
        [&] { input.MoveTo(200, 450); },
        [&] { input.Tap(XK_a, {XK_Shift_L}); },
        [&] { input.Tap(XK_c, {XK_Control_L}); },
        [&] { input.MoveTo(300, 500); },
        [&] { input.Click(1); },
        [&] { input.Wheel(1); },
        [&] { input.Click(8); },
        [&] { input.Click(9); },
        [&] { input.KeyDown(XK_Control_L); },
        [&] { input.Tap(XK_Pause); },  // Ctrl+Pause gives Break, which ends the recording
        [&] { input.KeyUp(XK_Control_L); },
        [&] { input.MoveTo(400, 550); },  // after the end: must not be recorded
    };
    for (const auto& step : steps) {
        step();
        XInput::Pause(30);
    }
    ASSERT_TRUE(desktop_.Settle());
    std::vector<MacroRecord> expected = RecordsOf(desktop_.EventsSince(mark));
    ASSERT_EQ(expected.size(), 20u) << Describe(desktop_.EventsSince(mark));

    const std::string saved = SaveRecording(*window, "recorded.mcr");
    ASSERT_FALSE(saved.empty());

    auto records = ReadMacroFile(saved);
    ASSERT_TRUE(records.has_value())
        << "not a whole number of records: " << fs::file_size(saved) << " bytes";
    ASSERT_EQ(records->size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const MacroRecord& got = (*records)[i];
        const MacroRecord& want = expected[i];
        SCOPED_TRACE("record " + std::to_string(i) + ": " + got.Describe() + ", expected " +
                     want.Describe());
        EXPECT_EQ(got.message, want.message);
        EXPECT_EQ(got.paramL, want.paramL);
        EXPECT_EQ(got.paramH, want.paramH);
        EXPECT_EQ(got.hwnd, want.hwnd);
        // Server time stamps on both sides: the spacing must be the same to the millisecond.
        EXPECT_EQ(got.time - records->front().time, want.time - expected.front().time);
    }
    EXPECT_LT(records->front().time, 5000u) << "time 0 is not the start of the recording";
    const MacroRecord& last = records->back();
    EXPECT_EQ(last.message, wm::kKeyDown);
    EXPECT_EQ(last.VirtualKey(), 0x03) << "the last record is not the Break key-down";
    // A recording may hold typed passwords.
    EXPECT_EQ(fs::status(saved).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);

    desktop_.Session().RequestClose(window->id);
    EXPECT_EQ(runner_->WaitForExit(10s), 0) << "the program did not close";
}

// A recording ended by clicking R-Stop keeps that click whole: its release reaches the
// window before the journal, and must not be lost.
TEST_F(ProgramTest, RecordingEndedByClickingRStopKeepsTheClicksRelease) {
    ASSERT_TRUE(runner_->Start({}));
    auto window = WaitForMainWindow(desktop_);
    ASSERT_TRUE(window.has_value()) << "no main window";
    XSession& session = desktop_.Session();
    const Image idle = StopButtonLook(desktop_, *window);
    ClickTool(desktop_, *window, kRecordButton);
    ASSERT_TRUE(WaitForRecording(desktop_, *window, idle, true))
        << "R-Stop was not drawn enabled when recording started";
    desktop_.Input().MoveTo(300, 500);
    desktop_.Input().Click(1);
    ClickTool(desktop_, *window, kStopButton);

    const std::string saved = SaveRecording(*window, "stopped.mcr");
    ASSERT_FALSE(saved.empty());
    auto records = ReadMacroFile(saved);
    ASSERT_TRUE(records.has_value());
    // The last press is the one on R-Stop; moves may follow it (the pointer went on to Save
    // before the program took the click), but its release must be there.
    auto press = std::find_if(records->rbegin(), records->rend(),
                              [](const MacroRecord& r) { return r.message == wm::kLButtonDown; });
    ASSERT_NE(press, records->rend()) << "no click recorded";
    EXPECT_EQ(press->paramL,
              static_cast<uint32_t>(window->x + kStopButton.left + kStopButton.width / 2));
    auto release = std::find_if(records->rbegin(), press,
                                [](const MacroRecord& r) { return r.message == wm::kLButtonUp; });
    EXPECT_NE(release, press) << "the click on R-Stop lost its release";
    session.RequestClose(window->id);
    EXPECT_EQ(runner_->WaitForExit(10s), 0) << "the program did not close";
}

// Ctrl+Break ends a recording while Ctrl is held, and Ctrl's release comes when nothing
// records. The next recording of the same run starts from the keyboard as it is: Pause is
// Pause again, and Alt gives system keys.
TEST_F(ProgramTest, ASecondRecordingStartsFromTheKeyboardAsItIs) {
    ASSERT_TRUE(runner_->Start({}));
    auto window = WaitForMainWindow(desktop_);
    ASSERT_TRUE(window.has_value()) << "no main window";
    XInput& input = desktop_.Input();
    auto ctrlBreak = [&] {
        input.KeyDown(XK_Control_L);
        input.Tap(XK_Pause);
        input.KeyUp(XK_Control_L);
    };
    const Image idle = StopButtonLook(desktop_, *window);
    for (int recording = 1; recording <= 2; ++recording) {
        SCOPED_TRACE("recording " + std::to_string(recording));
        ClickTool(desktop_, *window, kRecordButton);
        ASSERT_TRUE(WaitForRecording(desktop_, *window, idle, true))
            << "the recording did not start";
        if (recording == 2) {
            input.Tap(XK_Pause);
            input.Tap(XK_x, {XK_Alt_L});
        }
        ctrlBreak();
        ASSERT_TRUE(WaitForRecording(desktop_, *window, idle, false))
            << "Ctrl+Break did not end it";
    }

    const std::string saved = SaveRecording(*window, "second.mcr");
    ASSERT_FALSE(saved.empty());
    auto records = ReadMacroFile(saved);
    ASSERT_TRUE(records.has_value());
    std::vector<std::pair<uint32_t, uint32_t>> keys;  // message, paramL
    for (const MacroRecord& record : *records) {
        if (record.IsKey()) keys.emplace_back(record.message, record.paramL);
    }
    const std::vector<std::pair<uint32_t, uint32_t>> expected = {
        {wm::kKeyDown, 0x4513},    {wm::kKeyUp, 0x4513},       // Pause
        {wm::kSysKeyDown, 0x3812}, {wm::kSysKeyDown, 0x2D58},  // Alt, x
        {wm::kSysKeyUp, 0x2D58},   {wm::kSysKeyUp, 0x3812},
        {wm::kKeyDown, 0x1D11},    {wm::kKeyDown, 0x4603},  // Ctrl, Break
    };
    EXPECT_EQ(keys, expected);

    desktop_.Session().RequestClose(window->id);
    EXPECT_EQ(runner_->WaitForExit(10s), 0) << "the program did not close";
}

// ---------------------------------------------------------------------------------------
// Playback

TEST_F(ProgramTest, PlaysKeysAndMovesInOrderOnScheduleAtFullAndHalfSpeed) {
    const std::vector<MacroRecord> records = KeysAndMoves();
    const std::string macro = WriteMacro("timing.mcr", records);
    const std::vector<ExpectedEvent> expected = ExpectedEvents(records, desktop_.Input());

    for (auto [mode, percent] : {std::pair<std::string, uint32_t>{"/S", 100}, {"/S15", 50}}) {
        SCOPED_TRACE(mode);
        Run run = RunToEnd({macro, mode, "/E"}, 20s);
        ASSERT_EQ(run.exit, 0) << "the program did not end by itself";
        EXPECT_EQ(CompareEvents(expected, run.events), "") << Describe(run.events);

        TimingFigures figures = TimingOf(expected, run.events, percent);
        std::cout << "[timing] " << mode << " (" << percent << " %): " << figures.Summary() << "\n";
        RecordProperty("timing_" + std::to_string(percent) + "_median_ms",
                       std::to_string(figures.median));
        RecordProperty("timing_" + std::to_string(percent) + "_p99_ms",
                       std::to_string(figures.p99));
        // Only coarse bounds that a busy machine keeps (the benchmarks measure precision): the
        // run spans its scaled length, so neither the delays nor the speed were lost. Times
        // count from the first event, so one late start shows as the others being early.
        EXPECT_LE(std::abs(figures.drift), 150) << figures.Summary();
        EXPECT_GE(figures.earliest, -100)
            << "an event came long before its time: " << figures.Summary();
    }
}

// ---------------------------------------------------------------------------------------
// Command-line runs that end by themselves

TEST_F(ProgramTest, LoopSwitchPlaysTheGivenNumberOfPassesThenExits) {
    const std::vector<MacroRecord> records = KeysAndMoves(20);
    const std::string macro = WriteMacro("loop.mcr", records);
    Run run = RunToEnd({macro, "/L3", "/E"}, 20s);
    ASSERT_EQ(run.exit, 0) << "the program did not end by itself";
    EXPECT_EQ(CompareEvents(ExpectedEvents(Repeated(records, 3), desktop_.Input()), run.events), "")
        << Describe(run.events);
}

TEST_F(ProgramTest, PlaylistSwitchPlaysEachListedMacroInOrderThenExits) {
    const std::vector<MacroRecord> first = {MoveRecord(110, 410, 0),
                                            KeyRecord(wm::kKeyDown, pc::kA, 50),
                                            KeyRecord(wm::kKeyUp, pc::kA, 100)};
    const std::vector<MacroRecord> second = {
        MoveRecord(210, 510, 0), KeyRecord(wm::kKeyDown, pc::kB, 50),
        KeyRecord(wm::kKeyUp, pc::kB, 100), MoveRecord(220, 520, 150)};
    const std::string list = runner_->File("two.mlf");
    ASSERT_TRUE(
        WriteMacroList(list, {WriteMacro("first.mcr", first), WriteMacro("second.mcr", second)}));
    Run run = RunToEnd({list, "/P", "/E"}, 20s);
    ASSERT_EQ(run.exit, 0) << "the program did not end by itself";
    std::vector<MacroRecord> both = first;
    both.insert(both.end(), second.begin(), second.end());
    EXPECT_EQ(CompareEvents(ExpectedEvents(both, desktop_.Input()), run.events), "")
        << Describe(run.events);
}

TEST_F(ProgramTest, EndlessSwitchPlaysUntilCtrlEscThenExits) {
    const std::vector<MacroRecord> records = {
        MoveRecord(120, 420, 0), KeyRecord(wm::kKeyDown, pc::kA, 60),
        KeyRecord(wm::kKeyUp, pc::kA, 120), MoveRecord(140, 440, 180)};
    const std::string macro = WriteMacro("endless.mcr", records);
    std::size_t mark = desktop_.Rest();
    ASSERT_TRUE(runner_->Start({macro, "/A", "/E"}));

    // Two whole passes at least, then the cancel.
    const std::size_t twoPasses = 2 * records.size();
    for (int i = 0; i < 500 && desktop_.EventsSince(mark).size() < twoPasses; ++i) {
        XInput::Pause(10);
    }
    ASSERT_GE(desktop_.EventsSince(mark).size(), twoPasses) << "fewer than two passes played";
    EXPECT_TRUE(runner_->Running()) << "an endless run ended by itself";
    const std::size_t cancelMark = desktop_.Client().Mark();
    PressCtrlEsc();
    if (auto exit = runner_->WaitForExit(5s)) {
        EXPECT_EQ(*exit, 0);
    } else {
        bool escapeLeaked = false;
        for (const ClientEvent& event : desktop_.EventsSince(cancelMark)) {
            escapeLeaked |= event.kind == ClientEvent::Key && event.keysym == "Escape";
        }
        runner_->Kill();
        FAIL() << "Ctrl+Esc did not end the endless run"
               << (escapeLeaked ? ": the Escape press reached the focused window, so the cancel "
                                  "key was not grabbed when it came (between two passes?)"
                                : "");
    }
    ASSERT_TRUE(desktop_.Settle());

    // Everything but our own Ctrl and the release of our Esc (the cancel lets the keyboard
    // go at the press, so the release reaches the focused window) is the macro again and
    // again, cut off anywhere.
    std::vector<ClientEvent> played;
    for (const ClientEvent& event : desktop_.EventsSince(mark)) {
        bool ours = event.kind == ClientEvent::Key &&
                    (event.keysym == "Control_L" || event.keysym == "Escape");
        if (!ours) played.push_back(event);
    }
    std::vector<ExpectedEvent> expected = ExpectedEvents(
        Repeated(records, static_cast<int>(played.size() / records.size() + 1)), desktop_.Input());
    expected.resize(played.size());
    EXPECT_EQ(CompareEvents(expected, played), "") << Describe(played);
    EXPECT_TRUE(desktop_.Session().KeysHeld().empty());
}

TEST_F(ProgramTest, HideSwitchPlaysWithoutEverShowingAWindow) {
    std::vector<MacroRecord> records = KeysAndMoves(75);  // 1.5 s
    const std::string macro = WriteMacro("hidden.mcr", records);
    std::size_t mark = desktop_.Rest();
    ASSERT_TRUE(runner_->Start({macro, "/S", "/E", "/D"}));
    std::vector<std::string> shown;
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (runner_->Running() && std::chrono::steady_clock::now() < deadline) {
        for (const WindowInfo& window : desktop_.Session().TopLevelWindows()) {
            if (window.viewable && ProgramRunner::IsProgramWindow(window)) {
                shown.push_back(window.name);
            }
        }
        XInput::Pause(20);
    }
    EXPECT_TRUE(shown.empty()) << "a window was shown: " << shown.front();
    if (auto exit = runner_->WaitForExit(10s)) {
        EXPECT_EQ(*exit, 0);
    } else {
        const bool closed = fs::exists(runner_->SettingsPath());
        runner_->Kill();
        ADD_FAILURE() << "the hidden run did not end by itself"
                      << (closed ? ": the run finished and the window was closed (the settings "
                                   "file was written), but the program stayed in its event loop"
                                 : "");
    }
    ASSERT_TRUE(desktop_.Settle());
    EXPECT_EQ(CompareEvents(ExpectedEvents(records, desktop_.Input()), desktop_.EventsSince(mark)),
              "");
}

// ---------------------------------------------------------------------------------------
// Loop dialog

bool IsLoopDialog(const WindowInfo& window) {
    return window.viewable && window.name == "ループ再生の指定";
}

// Neither of the dialog's buttons is its default or cancel button: Enter and Escape leave it
// open, and only OK starts the loop.
TEST_F(ProgramTest, LoopDialogIgnoresEnterAndEscapeAndPlaysOnOk) {
    const std::string macro = WriteMacro("loop.mcr", {MoveRecord(150, 450, 0)});
    // "/X" starts no run but sets the exit flag: the end of the loop closes the program.
    ASSERT_TRUE(runner_->Start({macro, "/X", "/E"}));
    auto window = WaitForMainWindow(desktop_);
    ASSERT_TRUE(window.has_value()) << "no main window";
    ASSERT_TRUE(desktop_.StopClient()) << "the client window stayed";
    ClickTool(desktop_, *window, kLoopButton);
    XSession& session = desktop_.Session();
    auto dialog = session.WaitForWindow(&IsLoopDialog, 10s);
    ASSERT_TRUE(dialog.has_value()) << "no loop dialog";
    ASSERT_TRUE(WaitUntilDrawn(session, *dialog)) << "the loop dialog was not drawn";
    session.Focus(dialog->id);
    XInput& input = desktop_.Input();
    input.Type("2");
    // Enough Enter presses to walk the focus from the field past the box onto OK, were
    // Enter to move the focus on.
    for (KeySym key : {XK_Return, XK_KP_Enter, XK_Return, XK_Escape}) {
        input.Tap(key);
        XInput::Pause(300);
        EXPECT_TRUE(session.FindWindow(&IsLoopDialog).has_value())
            << XKeysymToString(key) << " closed the dialog";
    }
    EXPECT_TRUE(runner_->Running());
    input.MoveTo(dialog->x + 112 + 45, dialog->y + 104 + 12);  // OK
    XInput::Pause(50);
    input.Click(1);
    EXPECT_EQ(runner_->WaitForExit(10s), 0) << "OK did not play the loop to its end";
}

// ---------------------------------------------------------------------------------------
// Window place and settings file

TEST_F(ProgramTest, WindowOpensAtItsDefaultPlaceAndStoresItWhenARunCloses) {
    const std::string macro =
        WriteMacro("short.mcr", {MoveRecord(150, 450, 0), MoveRecord(160, 460, 300)});
    EXPECT_FALSE(fs::exists(runner_->SettingsPath()));
    ASSERT_TRUE(runner_->Start({macro, "/S", "/E"}));
    auto window = desktop_.Session().WaitForWindow(&ProgramRunner::IsMainWindow, 10s);
    EXPECT_EQ(runner_->WaitForExit(10s), 0);
    ASSERT_TRUE(window.has_value()) << "no main window";
    EXPECT_EQ(window->x, kDefaultLeft);
    EXPECT_EQ(window->y, kDefaultTop);
    EXPECT_EQ(window->width, kWindowWidth);
    EXPECT_EQ(window->height, kHiddenHeight);
    EXPECT_NE(window->name.find(macro), std::string::npos) << "title: " << window->name;

    auto settings = ReadIniFile(runner_->SettingsPath());
    ASSERT_TRUE(settings.has_value()) << "no " << runner_->SettingsPath();
    EXPECT_EQ((*settings)["WINDOW"]["POS.X"], std::to_string(kDefaultLeft));
    EXPECT_EQ((*settings)["WINDOW"]["POS.Y"], std::to_string(kDefaultTop));
}

// Also a place partly or wholly off the screen (1280 x 1024) is taken as it is. The window
// carries the program's own class.
TEST_F(ProgramTest, WindowReopensWhereTheSettingsFileSaysAndKeepsIt) {
    const std::pair<int, int> places[] = {{520, 40}, {-40, -30}, {1200, 2000}};
    for (auto [left, top] : places) {
        SCOPED_TRACE(std::to_string(left) + "," + std::to_string(top));
        {
            std::ofstream out(runner_->SettingsPath(), std::ios::binary);
            out << "[WINDOW]\r\nPOS.X=" << left << "\r\nPOS.Y=" << top << "\r\n";
        }
        ASSERT_TRUE(runner_->Start({}));
        auto window = WaitForMainWindow(desktop_);
        ASSERT_TRUE(window.has_value()) << "no main window";
        EXPECT_EQ(window->x, left);
        EXPECT_EQ(window->y, top);
        EXPECT_EQ(window->wmClass, "tapewright,Tapewright");
        desktop_.Session().RequestClose(window->id);
        ASSERT_EQ(runner_->WaitForExit(10s), 0) << "the program did not close";
        auto settings = ReadIniFile(runner_->SettingsPath());
        ASSERT_TRUE(settings.has_value());
        EXPECT_EQ((*settings)["WINDOW"]["POS.X"], std::to_string(left));
        EXPECT_EQ((*settings)["WINDOW"]["POS.Y"], std::to_string(top));
    }
}

// Keeps a picture of the window as an artifact (name.ppm, and name.png when ImageMagick's
// convert is there) and returns it.
Image KeepScreenshot(XSession& session, const WindowInfo& window, const std::string& name) {
    Image shot = session.Capture(window.x, window.y, window.width, window.height);
    fs::create_directories(ArtifactDirectory());
    const std::string ppm = ArtifactDirectory() + "/" + name + ".ppm";
    shot.WritePpm(ppm);
    ChildProcess convert;
    if (convert.Start({"convert", ppm, ArtifactDirectory() + "/" + name + ".png"})) {
        convert.Wait(10s);
    }
    std::cout << "[screenshot] " << ppm << "\n";
    return shot;
}

// Each tool button shows its glyph in the upper part and its caption under it.
void ExpectToolButtonsDrawn(const Image& shot) {
    for (int left : {0, 38, 76, 114, 151, 189, 226, 264}) {
        EXPECT_GE(shot.ColourCount(left + 3, 4, 32, 14), 2u)
            << "no glyph on the button at " << left;
        EXPECT_GE(shot.ColourCount(left + 2, 38, 33, 13), 2u)
            << "no caption under the glyph of the button at " << left;
    }
}

// Screenshots of the window idle and while recording (the two looks of R-Stop), with the
// status bar, the drop-downs and the buttons drawn.
TEST_F(ProgramTest, WindowDrawsItsTextsAndGlyphsForScreenshots) {
    ASSERT_TRUE(runner_->Start({}));
    auto window = WaitForMainWindow(desktop_);
    ASSERT_TRUE(window.has_value()) << "no main window";
    Image idle = KeepScreenshot(desktop_.Session(), *window, "main-window");
    ASSERT_EQ(idle.width, kWindowWidth);
    // Status bar (1,59 155x20) and the two drop-downs (180,60 56x20; 237,60 63x20) hold text.
    EXPECT_GE(idle.ColourCount(3, 61, 98, 16), 2u) << "empty status bar";
    EXPECT_GE(idle.ColourCount(182, 62, 40, 16), 2u) << "empty recording-mode list";
    EXPECT_GE(idle.ColourCount(239, 62, 45, 16), 2u) << "empty speed list";
    {
        SCOPED_TRACE("idle");
        ExpectToolButtonsDrawn(idle);
    }

    const Image idleStop = StopButtonLook(desktop_, *window);
    ClickTool(desktop_, *window, kRecordButton);
    ASSERT_TRUE(WaitForRecording(desktop_, *window, idleStop, true))
        << "the recording did not start";
    desktop_.Input().MoveTo(window->x + 100, window->y + 70);  // no hover frame in the shot
    ASSERT_TRUE(WaitUntilDrawn(desktop_.Session(), *window));
    Image recording = KeepScreenshot(desktop_.Session(), *window, "main-window-recording");
    {
        SCOPED_TRACE("recording");
        ExpectToolButtonsDrawn(recording);
    }
    EXPECT_TRUE(idle.rgb != recording.rgb) << "nothing changed when recording started";
    ClickTool(desktop_, *window, kStopButton);
    desktop_.Input().MoveTo(window->x + 100, window->y + 70);  // R-Stop looks idle again
    EXPECT_TRUE(WaitForRecording(desktop_, *window, idleStop, false)) << "R-Stop did not end it";
    desktop_.Session().RequestClose(window->id);
    EXPECT_EQ(runner_->WaitForExit(10s), 0);
}

// ---------------------------------------------------------------------------------------
// No stuck keys

// A macro that presses Shift, a key and a button and never releases them, cancelled while
// they are held. Ctrl+Esc must cancel whatever modifiers the macro holds.
std::vector<MacroRecord> HoldingMacro() {
    std::vector<MacroRecord> records = {KeyRecord(wm::kKeyDown, pc::kShift, 0),
                                        KeyRecord(wm::kKeyDown, pc::kA, 0),
                                        MacroRecord{wm::kLButtonDown, 200, 450, 100, 0}};
    for (uint32_t t = 300; t <= 30000; t += 200) {
        records.push_back(MoveRecord(static_cast<int>(200 + t / 40), 460, t));
    }
    return records;
}

bool MovedOnWhileHolding(const std::string& line) {
    auto event = ParseClientEvent(line);
    return event && event->kind == ClientEvent::Motion && event->y == 460 && event->x >= 215;
}

TEST_F(ProgramTest, CancellingAPlaybackThatHoldsAKeyAndAButtonLeavesNothingHeld) {
    const std::string macro = WriteMacro("held.mcr", HoldingMacro());
    std::size_t mark = desktop_.Rest();
    ASSERT_TRUE(runner_->Start({macro, "/S", "/E"}));
    ASSERT_TRUE(desktop_.Client().WaitForLine(mark, &MovedOnWhileHolding, 10s))
        << "the macro did not start";
    EXPECT_FALSE(desktop_.Session().KeysHeld().empty()) << "the played key is not held";
    EXPECT_NE(desktop_.Session().PointerMask() & Button1Mask, 0u) << "the button is not held";
    PressCtrlEsc();
    EXPECT_EQ(runner_->WaitForExit(10s), 0) << "Ctrl+Esc did not end the run";
    ASSERT_TRUE(desktop_.Settle());

    EXPECT_TRUE(desktop_.Session().KeysHeld().empty()) << "a key is still held";
    EXPECT_EQ(desktop_.Session().PointerMask() & (Button1Mask | Button2Mask | Button3Mask), 0u)
        << "a button is still held";
}

// Ended from outside while it holds keys and a button (a signal, or its window closed), the
// program releases them before it goes.
// Logout (SIGHUP) and shutdown (SIGTERM) store the window's place as a close does, and every
// end gives XTEST's keyboard its auto-repeat back.
TEST_F(ProgramTest, EndingAPlaybackFromOutsideLeavesNothingHeld) {
    const std::string macro = WriteMacro("held.mcr", HoldingMacro());
    desktop_.Session().SetAutoRepeat(true);
    for (const std::string end : {"SIGTERM", "SIGHUP", "window closed"}) {
        SCOPED_TRACE(end);
        fs::remove(runner_->SettingsPath());
        std::size_t mark = desktop_.Rest();
        ASSERT_TRUE(runner_->Start({macro, "/S", "/E"}));
        auto window = desktop_.Session().WaitForWindow(&ProgramRunner::IsMainWindow, 10s);
        ASSERT_TRUE(window.has_value()) << "no main window";
        ASSERT_TRUE(desktop_.Client().WaitForLine(mark, &MovedOnWhileHolding, 10s))
            << "the macro did not start";
        ASSERT_FALSE(desktop_.Session().KeysHeld().empty()) << "the played keys are not held";
        if (end == "window closed") {
            desktop_.Session().RequestClose(window->id);
        } else {
            kill(runner_->Pid(), end == "SIGTERM" ? SIGTERM : SIGHUP);
        }
        const int status = end == "window closed" ? 0
                           : end == "SIGTERM"     ? 128 + SIGTERM
                                                  : 128 + SIGHUP;
        EXPECT_EQ(runner_->WaitForExit(10s), status) << "the program did not end as it should";
        ASSERT_TRUE(desktop_.Settle());
        EXPECT_TRUE(desktop_.Session().KeysHeld().empty()) << "a key is still held";
        EXPECT_EQ(desktop_.Session().PointerMask() & (Button1Mask | Button2Mask | Button3Mask), 0u)
            << "a button is still held";
        auto settings = ReadIniFile(runner_->SettingsPath());
        ASSERT_TRUE(settings.has_value()) << "the window's place was not stored";
        EXPECT_EQ((*settings)["WINDOW"]["POS.X"], std::to_string(kDefaultLeft));
        EXPECT_TRUE(XTestKeyRepeats()) << "auto-repeat was not given back";
    }
}

// The window that got the played key press must also get its release. A user's Ctrl+Esc
// keeps Escape down for a moment: the release must not go to the program instead.
TEST_F(ProgramTest, CancellingAPlaybackSendsTheReleaseToTheWindowThatGotThePress) {
    const std::string macro = WriteMacro("held.mcr", HoldingMacro());
    std::size_t mark = desktop_.Rest();
    ASSERT_TRUE(runner_->Start({macro, "/S", "/E"}));
    ASSERT_TRUE(desktop_.Client().WaitForLine(mark, &MovedOnWhileHolding, 10s))
        << "the macro did not start";
    XInput& input = desktop_.Input();
    input.KeyDown(XK_Control_L);
    input.KeyDown(XK_Escape);
    XInput::Pause(150);
    input.KeyUp(XK_Escape);
    input.KeyUp(XK_Control_L);
    EXPECT_EQ(runner_->WaitForExit(10s), 0) << "Ctrl+Esc did not end the run";
    ASSERT_TRUE(desktop_.Settle());

    bool pressed = false;
    bool released = false;
    bool buttonUp = false;
    for (const ClientEvent& event : desktop_.EventsSince(mark)) {
        bool a = event.kind == ClientEvent::Key && event.keysym == "a";
        pressed |= a && event.press;
        released |= a && !event.press;
        buttonUp |= event.kind == ClientEvent::Button && event.code == 1 && !event.press;
    }
    EXPECT_TRUE(pressed);
    EXPECT_TRUE(released) << "the client got the key press but never its release";
    EXPECT_TRUE(buttonUp) << "the client got the button press but never its release";
}

// A macro whose records are all due at once still ends a run started with /E.
TEST_F(ProgramTest, CommandLineRunOfAMacroDueAtOnceEndsByItself) {
    const std::vector<MacroRecord> records = {MoveRecord(150, 450, 0), MoveRecord(160, 460, 0),
                                              MoveRecord(170, 470, 0)};
    const std::string macro = WriteMacro("instant.mcr", records);
    Run run = RunToEnd({macro, "/S", "/E"}, 10s);
    EXPECT_EQ(CompareEvents(ExpectedEvents(records, desktop_.Input()), run.events), "");
    EXPECT_EQ(run.exit, 0) << "the program stayed open after the run";
}

TEST_F(ProgramTest, XButtonsPlayAsButtons8And9) {
    const std::vector<MacroRecord> records = {MoveRecord(150, 450, 0),
                                              {wm::kXButtonDown, 150, 450, 10, 1},
                                              {wm::kXButtonUp, 150, 450, 20, 1},
                                              {wm::kXButtonDown, 150, 450, 30, 2},
                                              {wm::kXButtonUp, 150, 450, 40, 2}};
    const std::string macro = WriteMacro("xbuttons.mcr", records);
    Run run = RunToEnd({macro, "/S", "/E"}, 10s);
    EXPECT_EQ(run.exit, 0);
    // The pointer is moved onto the pixel before each button; only the buttons are compared.
    std::vector<ClientEvent> buttons;
    for (const ClientEvent& event : run.events) {
        if (event.kind == ClientEvent::Button) buttons.push_back(event);
    }
    std::vector<ExpectedEvent> expected = ExpectedEvents(records, desktop_.Input());
    expected.erase(expected.begin());  // the move
    EXPECT_EQ(CompareEvents(expected, buttons), "") << Describe(run.events);
}

// Keys that share a virtual-key code play as the key recorded, by its scan code and extended
// flag: keypad Enter, right Ctrl, the navigation block's Home, keypad 7 with NumLock off (Home
// without the flag) and the main Enter key.
TEST_F(ProgramTest, KeysSharingAVirtualKeyPlayAsTheKeyRecorded) {
    const PcKey keys[] = {{0x0D, 0x1C, true},
                          {0x11, 0x1D, true},
                          {0x24, 0x47, true},
                          {0x24, 0x47, false},
                          {0x0D, 0x1C, false}};
    const unsigned keycodes[] = {104, 105, 110, 79, 36};  // the server's evdev key codes
    std::vector<MacroRecord> records = {MoveRecord(150, 450, 0)};
    uint32_t time = 0;
    for (const PcKey& key : keys) {
        records.push_back(KeyRecord(wm::kKeyDown, key, time += 20));
        records.push_back(KeyRecord(wm::kKeyUp, key, time += 20));
    }
    Run run = RunToEnd({WriteMacro("extended.mcr", records), "/S", "/E"}, 10s);
    EXPECT_EQ(run.exit, 0);
    std::vector<std::pair<unsigned, bool>> played;
    for (const ClientEvent& event : run.events) {
        if (event.kind == ClientEvent::Key) played.emplace_back(event.code, event.press);
    }
    std::vector<std::pair<unsigned, bool>> expected;
    for (unsigned keycode : keycodes) {
        expected.emplace_back(keycode, true);
        expected.emplace_back(keycode, false);
    }
    EXPECT_EQ(played, expected) << Describe(run.events);
}

// A keypad digit key plays what its virtual-key code says under either NumLock state: the
// digit (VK_NUMPAD7) with NumLock off, Home (VK_HOME) with NumLock on. The key press reaches
// the window with NumLock as the code wants it, and NumLock is left as it was.
TEST_F(ProgramTest, KeypadKeysPlayTheirVirtualKeyUnderTheOtherNumLockState) {
    constexpr unsigned kKeypad7 = 79;           // the server's evdev key code
    constexpr unsigned kNumLockMask = 1u << 4;  // Mod2, which NumLock is on the server
    auto play = [&](const PcKey& key, const char* name) {
        const std::vector<MacroRecord> records = {MoveRecord(150, 450, 0),
                                                  KeyRecord(wm::kKeyDown, key, 20),
                                                  KeyRecord(wm::kKeyUp, key, 40)};
        Run run = RunToEnd({WriteMacro(name, records), "/S", "/E"}, 10s);
        EXPECT_EQ(run.exit, 0);
        std::vector<std::pair<bool, bool>> keypad;  // press, NumLock on
        int numLockPresses = 0;
        bool played = false;  // the test's own NumLock tap may come before the playback
        for (const ClientEvent& event : run.events) {
            played = played || event.kind == ClientEvent::Motion;
            if (event.kind != ClientEvent::Key || !played) continue;
            if (event.code == kKeypad7) {
                keypad.emplace_back(event.press, (event.state & kNumLockMask) != 0);
            } else if (event.keysym == "Num_Lock") {
                numLockPresses += event.press ? 1 : 0;
            }
        }
        EXPECT_EQ(numLockPresses % 2, 0) << Describe(run.events);
        return keypad;
    };
    using Seen = std::vector<std::pair<bool, bool>>;
    EXPECT_EQ(play({0x67, 0x47}, "digit.mcr"), (Seen{{true, true}, {false, true}}));
    desktop_.Input().Tap(XK_Num_Lock);
    EXPECT_EQ(play({0x24, 0x47}, "home.mcr"), (Seen{{true, false}, {false, false}}));
    desktop_.Input().Tap(XK_Num_Lock);
}

// Wheel records below one notch, as a precision touchpad makes them, add up: four of 30
// turn the wheel one notch up, a delta of 0 turns nothing, two of -60 one notch down.
TEST_F(ProgramTest, WheelRecordsBelowANotchAddUpToWholeNotches) {
    std::vector<MacroRecord> records = {MoveRecord(150, 450, 0)};
    uint32_t time = 0;
    for (int32_t delta : {30, 30, 30, 30, 0, -60, -60}) {
        records.push_back(
            MacroRecord{wm::kMouseWheel, 150, 450, time += 20, static_cast<uint32_t>(delta)});
    }
    Run run = RunToEnd({WriteMacro("touchpad.mcr", records), "/S", "/E"}, 10s);
    EXPECT_EQ(run.exit, 0);
    std::vector<std::pair<unsigned, bool>> buttons;
    for (const ClientEvent& event : run.events) {
        if (event.kind == ClientEvent::Button) buttons.emplace_back(event.code, event.press);
    }
    const std::vector<std::pair<unsigned, bool>> expected = {
        {4, true}, {4, false}, {5, true}, {5, false}};
    EXPECT_EQ(buttons, expected) << Describe(run.events);
}

// A macro the Windows program recorded under Wine (tests/data/wine-recorded.mcr, from the
// Windows end-to-end test: a click, right Ctrl, Z, keypad Enter, Up, Delete, Shift+A, a wheel
// notch, Ctrl+Break) plays here to the same keys and buttons, at the same place.
TEST_F(ProgramTest, AMacroRecordedUnderWinePlaysToTheSameKeysAndButtons) {
    Run run = RunToEnd({TAPEWRIGHT_TEST_DATA "/wine-recorded.mcr", "/S", "/E"}, 10s);
    EXPECT_EQ(run.exit, 0);
    std::vector<std::tuple<ClientEvent::Kind, unsigned, bool>> played;
    for (const ClientEvent& event : run.events) {
        if (event.kind == ClientEvent::Motion) continue;
        played.emplace_back(event.kind, event.code, event.press);
        if (event.kind == ClientEvent::Button && event.code == 1 && event.press) {
            EXPECT_EQ(event.x, 60);
            EXPECT_EQ(event.y, 650);
        }
    }
    using K = ClientEvent;
    // The server's evdev key codes: right Ctrl 105, z 52, keypad Enter 104, Up 111, Delete
    // 119, left Shift 50, a 38, left Ctrl 37, Pause 127 (Break with Ctrl).
    const std::vector<std::tuple<ClientEvent::Kind, unsigned, bool>> expected = {
        {K::Button, 1, true}, {K::Button, 1, false}, {K::Key, 105, true}, {K::Key, 105, false},
        {K::Key, 52, true},   {K::Key, 52, false},   {K::Key, 104, true}, {K::Key, 104, false},
        {K::Key, 111, true},  {K::Key, 111, false},  {K::Key, 119, true}, {K::Key, 119, false},
        {K::Key, 50, true},   {K::Key, 38, true},    {K::Key, 38, false}, {K::Key, 50, false},
        {K::Button, 5, true}, {K::Button, 5, false}, {K::Key, 37, true},  {K::Key, 127, true}};
    ASSERT_GE(played.size(), expected.size()) << Describe(run.events);
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), played.begin()))
        << Describe(run.events);
    // The recording ended holding Ctrl and Break; the end of the playback releases both.
    EXPECT_EQ(played.size(), expected.size() + 2) << Describe(run.events);
}

// ---------------------------------------------------------------------------------------
// Other clients of a desktop

// A pointer mapping change (a left-handed switch) during a recording sends every client a
// MappingNotify, the recording's own connections too: the recording must go on.
TEST_F(ProgramTest, RecordingGoesOnAfterAPointerMappingChange) {
    ASSERT_TRUE(runner_->Start({}));
    auto window = WaitForMainWindow(desktop_);
    ASSERT_TRUE(window.has_value()) << "no main window";
    const Image idle = StopButtonLook(desktop_, *window);
    ClickTool(desktop_, *window, kRecordButton);
    ASSERT_TRUE(WaitForRecording(desktop_, *window, idle, true)) << "the recording did not start";

    Display* display = desktop_.Session().Handle();
    unsigned char map[256];
    const int buttons = XGetPointerMapping(display, map, 256);
    ASSERT_GE(buttons, 3);
    std::swap(map[0], map[2]);
    ASSERT_EQ(XSetPointerMapping(display, map, buttons), MappingSuccess);
    XSync(display, False);

    XInput& input = desktop_.Input();
    input.Tap(XK_a);
    input.KeyDown(XK_Control_L);
    input.Tap(XK_Pause);
    input.KeyUp(XK_Control_L);
    EXPECT_TRUE(WaitForRecording(desktop_, *window, idle, false))
        << "Ctrl+Break after the mapping change did not end the recording";
    desktop_.Session().RequestClose(window->id);
    EXPECT_EQ(runner_->WaitForExit(10s), 0) << "the program did not close";
}

// A desktop's menu, a virtual machine or a remote-desktop viewer may hold the Ctrl+Esc grab
// on the root window: the key still ends an endless run.
TEST_F(ProgramTest, CtrlEscEndsAnEndlessRunWhileAnotherClientGrabsIt) {
    Display* other = XOpenDisplay(desktop_.DisplayName().c_str());
    ASSERT_NE(other, nullptr);
    const KeyCode escape = XKeysymToKeycode(other, XK_Escape);
    XGrabKey(other, escape, ControlMask, DefaultRootWindow(other), True, GrabModeAsync,
             GrabModeAsync);
    XSync(other, False);

    const std::vector<MacroRecord> records = {MoveRecord(120, 420, 0), MoveRecord(140, 440, 60)};
    const std::string macro = WriteMacro("endless.mcr", records);
    std::size_t mark = desktop_.Rest();
    ASSERT_TRUE(runner_->Start({macro, "/A", "/E"}));
    for (int i = 0; i < 500 && desktop_.EventsSince(mark).size() < 2 * records.size(); ++i) {
        XInput::Pause(10);
    }
    ASSERT_GE(desktop_.EventsSince(mark).size(), 2 * records.size()) << "the run did not play";
    PressCtrlEsc();
    const std::optional<int> exit = runner_->WaitForExit(5s);
    if (!exit) runner_->Kill();
    EXPECT_EQ(exit, 0) << "Ctrl+Esc did not end the endless run";
    XCloseDisplay(other);
}

// XTEST's keyboard repeats a held key as a real one does, but a recording already holds the
// repeats the user's keyboard made: a played key gains none.
TEST_F(ProgramTest, AKeyHeldPastTheRepeatDelayPlaysAsRecordedWithAutoRepeatOn) {
    desktop_.Session().SetAutoRepeat(true);
    const std::vector<MacroRecord> records = {KeyRecord(wm::kKeyDown, pc::kA, 0),
                                              KeyRecord(wm::kKeyUp, pc::kA, 1200)};
    Run run = RunToEnd({WriteMacro("held-a.mcr", records), "/S", "/E"}, 10s);
    EXPECT_EQ(run.exit, 0);
    EXPECT_EQ(KeyPresses(run.events, "a"), 1) << Describe(run.events);
    EXPECT_TRUE(XTestKeyRepeats()) << "auto-repeat was not given back";
}

}  // namespace
