// TAPEWRT.EXE run unattended from its command line, hidden, playing into a window of the test
// program: every record arrives in order and on time, loops and lists play in full, an
// endless run ends on the user's Ctrl+Esc with nothing left held, and the program exits.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "TargetWindow.h"
#include "e2e/MacroFiles.h"
#include "e2e/Timing.h"
#include "win32/UserInput.h"

namespace {

class ProgramRun : public ::testing::Test {
  public:
    void SetUp() override {
        char temporary[MAX_PATH];
        GetTempPathA(MAX_PATH, temporary);
        folder = std::string(temporary) + "tapewright-run-" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(folder.c_str(), nullptr);
    }
    void TearDown() override {
        for (const std::string& file : files) DeleteFileA(file.c_str());
        RemoveDirectoryA(folder.c_str());
    }

    std::string Macro(const std::string& name, const std::vector<MacroRecord>& records) {
        const std::string path = File(name);
        EXPECT_TRUE(WriteMacroFile(path, records));
        return path;
    }
    std::string File(const std::string& name) {
        files.push_back(folder + "\\" + name);
        return files.back();
    }
    // Runs the program with arguments until it ends; its exit code, or -1 after a minute.
    int RunProgram(const std::string& arguments) {
        HANDLE process = StartProgram("\"" TAPEWRIGHT_PROGRAM "\" " + arguments);
        if (process == nullptr) return -2;
        DWORD code = 0;
        const bool ended = target.RunUntil([&] { return Ended(process, code); });
        target.RunUntil([] { return false; }, 0);  // what is still queued
        CloseHandle(process);
        return ended ? static_cast<int>(code) : -1;
    }
    // The virtual keys of the key-downs the target received, in order.
    std::string KeysDown() const {
        std::string keys;
        for (const TargetEvent& event : target.Events()) {
            if (event.message == WM_KEYDOWN) keys += static_cast<char>(event.wParam);
        }
        return keys;
    }

    TargetWindow target;
    std::string folder;
    std::vector<std::string> files;
};

MacroRecord Key(uint32_t message, PcKey key, uint32_t time) {
    return KeyRecord(message, key, time);
}

TEST_F(ProgramRun, HiddenSinglePassPlaysEveryRecordInOrderOnTimeAndExits) {
    // Due times count in steps of 100 ms at 100 %.
    std::vector<MacroRecord> records;
    for (uint32_t i = 0; i < 20; ++i) records.push_back(MoveRecord(100 + 7 * i, 200 + i, 100 * i));
    records.push_back(Key(wm::kKeyDown, pc::kA, 2000));
    records.push_back(Key(wm::kKeyUp, pc::kA, 2100));
    records.push_back(Key(wm::kKeyDown, PcKey{0x0D, 0x1C, true}, 2200));  // keypad Enter
    records.push_back(Key(wm::kKeyUp, PcKey{0x0D, 0x1C, true}, 2300));
    const std::string macro = Macro("single.mcr", records);

    ASSERT_EQ(RunProgram("\"" + macro + "\" /S /E /D"), 0) << target.Describe();

    std::vector<uint32_t> due;
    for (const MacroRecord& record : records) due.push_back(record.time);
    std::string missing;
    const std::vector<uint32_t> delivered = Arrivals(records, target.Events(), missing);
    ASSERT_TRUE(missing.empty()) << missing << "\n" << target.Describe();
    const TimingFigures timing = MeasureTiming(due, delivered);
    std::printf("playback timing at the target: %s\n", timing.Summary().c_str());
    // Loose bounds for a busy machine and an emulated 32-bit system (the benchmark measures
    // precision): the run keeps its length, and nothing plays far too soon. Times count from
    // the first event, so one late start shows as the others being early.
    EXPECT_LE(std::abs(timing.drift), 100) << timing.Summary();
    EXPECT_GE(timing.earliest, -60) << timing.Summary();
}

// A macro the Linux program recorded (xdotool's input on Xvfb: clicks, letters, both Ctrl
// keys, keypad Enter, an arrow, Delete, Shift+Z, Ctrl+Break) plays here to the same keys,
// buttons and positions.
TEST_F(ProgramRun, AMacroRecordedOnLinuxPlaysToTheSameKeysAndPositions) {
    const std::optional<std::vector<MacroRecord>> records =
        ReadMacroFile(TAPEWRIGHT_TEST_DATA "/linux-recorded.mcr");
    ASSERT_TRUE(records.has_value());
    ASSERT_EQ(RunProgram("\"" TAPEWRIGHT_TEST_DATA "/linux-recorded.mcr\" /S /E /D"), 0);
    std::string missing;
    Arrivals(*records, target.Events(), missing);
    EXPECT_TRUE(missing.empty()) << missing << "\n" << target.Describe();
    EXPECT_EQ(GetAsyncKeyState(VK_CONTROL) & 0x8000, 0);  // the recording ended holding it
}

TEST_F(ProgramRun, CountedLoopAndPlaylistPlayInFull) {
    const std::string a =
        Macro("a.mcr", {Key(wm::kKeyDown, pc::kA, 0), Key(wm::kKeyUp, pc::kA, 100)});
    const std::string b =
        Macro("b.mcr", {Key(wm::kKeyDown, pc::kB, 0), Key(wm::kKeyUp, pc::kB, 100)});
    ASSERT_EQ(RunProgram("\"" + a + "\" /L3 /E /D"), 0);
    EXPECT_EQ(KeysDown(), "AAA");

    const std::string list = File("ab.mlf");
    ASSERT_TRUE(WriteMacroList(list, {a, b}));
    ASSERT_EQ(RunProgram("\"" + list + "\" /P /E /D"), 0);
    EXPECT_EQ(KeysDown(), "AAAAB");
}

TEST_F(ProgramRun, EndlessRunEndsOnCtrlEscWithNothingHeld) {
    const std::string macro =
        Macro("endless.mcr", {Key(wm::kKeyDown, pc::kShift, 0), Key(wm::kKeyDown, pc::kC, 100),
                              Key(wm::kKeyUp, pc::kC, 200), MoveRecord(300, 300, 3000),
                              Key(wm::kKeyUp, pc::kShift, 3050)});
    HANDLE process = StartProgram("\"" TAPEWRIGHT_PROGRAM "\" \"" + macro + "\" /A /E /D");
    ASSERT_NE(process, nullptr);
    ASSERT_TRUE(target.RunUntil([&] { return KeysDown().find('C') != std::string::npos; }))
        << target.Describe();

    // The user's Ctrl+Esc.
    ASSERT_TRUE(SendUserInput(UserCtrlEsc()));
    DWORD code = 0;
    ASSERT_TRUE(target.RunUntil([&] { return Ended(process, code); })) << target.Describe();
    CloseHandle(process);
    EXPECT_EQ(code, 0u);
    target.RunUntil([] { return false; }, 0);
    EXPECT_EQ(GetAsyncKeyState(VK_SHIFT) & 0x8000, 0);
    EXPECT_EQ(KeysDown().find(static_cast<char>(VK_ESCAPE)), std::string::npos);
}

// Opens the system menu of the program's window, as Alt+Space does; whether it came up.
bool OpenSystemMenu(TargetWindow& target) {
    HWND window = nullptr;
    if (!target.RunUntil([&] {
            window = FindWindowW(L"TapewrightForm", nullptr);
            return window != nullptr && IsWindowVisible(window);
        })) {
        return false;
    }
    PostMessageW(window, WM_SYSCOMMAND, SC_KEYMENU, ' ');
    return target.RunUntil([] {
        HWND menu = FindWindowW(L"#32768", nullptr);
        return menu != nullptr && IsWindowVisible(menu);
    });
}

POINT CursorAt() {
    POINT at{};
    GetCursorPos(&at);
    return at;
}

// The system's modal loops (the system menu here, a message box, a title bar dragged)
// dispatch window messages but never return to the program's loop.
TEST_F(ProgramRun, PlaybackGoesOnWhileTheSystemMenuIsOpen) {
    const int bottom = GetSystemMetrics(SM_CYSCREEN) - 2;
    std::vector<MacroRecord> records{MoveRecord(1, bottom, 0)};
    for (int i = 1; i <= 20; ++i) records.push_back(MoveRecord(1 + 10 * i, bottom, 3000 + 50 * i));
    const std::string macro = Macro("moves.mcr", records);
    HANDLE process = StartProgram("\"" TAPEWRIGHT_PROGRAM "\" \"" + macro + "\" /S /E");
    ASSERT_NE(process, nullptr);
    ASSERT_TRUE(target.RunUntil([] { return CursorAt().x == 1; }));
    ASSERT_TRUE(OpenSystemMenu(target));
    ASSERT_EQ(CursorAt().x, 1) << "the menu came up too late to tell";

    EXPECT_TRUE(target.RunUntil([] { return CursorAt().x == 201; })) << CursorAt().x;
    EXPECT_TRUE(IsWindowVisible(FindWindowW(L"#32768", nullptr)));
    // The pass's end closes the window, and the menu with it.
    DWORD code = 0;
    EXPECT_TRUE(target.RunUntil([&] { return Ended(process, code); }));
    if (!Ended(process, code)) TerminateProcess(process, 1);
    CloseHandle(process);
    EXPECT_EQ(code, 0u);
}

TEST_F(ProgramRun, CtrlEscEndsAnEndlessRunInsideAModalLoop) {
    const std::string macro =
        Macro("endless-moves.mcr", {MoveRecord(5, 5, 0), MoveRecord(9, 9, 100)});
    HANDLE process = StartProgram("\"" TAPEWRIGHT_PROGRAM "\" \"" + macro + "\" /A /E");
    ASSERT_NE(process, nullptr);
    ASSERT_TRUE(OpenSystemMenu(target));
    ASSERT_TRUE(SendUserInput(UserCtrlEsc()));
    DWORD code = 0;
    EXPECT_TRUE(target.RunUntil([&] { return Ended(process, code); }));
    if (!Ended(process, code)) TerminateProcess(process, 1);
    CloseHandle(process);
    EXPECT_EQ(code, 0u);
}

}  // namespace
