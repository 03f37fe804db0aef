// tapewright-macro: text round trips, line errors, the summary's figures and check's verdict.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <sstream>

#include "ScratchDirectory.h"
#include "cli/Commands.h"
#include "cli/MacroSummary.h"
#include "cli/MacroText.h"

namespace {

std::vector<uint8_t> Bytes(const std::vector<EVENTMSG>& records, std::size_t trailing = 0) {
    std::vector<uint8_t> bytes(records.size() * kEventMsgSize + trailing, 0x07);
    for (std::size_t i = 0; i < records.size(); ++i)
        EncodeEvent(records[i], &bytes[i * kEventMsgSize]);
    return bytes;
}

// Records that look like real ones most of the time, with odd fields now and then.
std::vector<uint8_t> RandomMacro(std::mt19937& random) {
    static const uint32_t kMessages[] = {0x100, 0x101, 0x104, 0x105, 0x200, 0x201, 0x202,
                                         0x204, 0x205, 0x207, 0x208, 0x20A, 0x20E, 0x113};
    auto any = [&] { return static_cast<uint32_t>(random()); };
    auto sometimes = [&](uint32_t usual) { return random() % 4 == 0 ? any() : usual; };
    std::vector<EVENTMSG> records(random() % 12);
    for (EVENTMSG& r : records) {
        r.message = random() % 8 == 0 ? any() : kMessages[random() % std::size(kMessages)];
        r.paramL = sometimes(any() & 0xFFFF);
        r.paramH = sometimes(random() % 2 == 0 ? 1u : 0x8001u);
        r.time = sometimes(random() % 100000);
        r.hwnd = sometimes(0);
    }
    return Bytes(records, random() % kEventMsgSize);
}

int RunTool(const std::vector<std::string>& arguments, std::string* out = nullptr) {
    std::ostringstream output;
    std::ostringstream errors;
    int status = RunMacroTool(arguments, output, errors);
    if (out != nullptr) *out = output.str() + errors.str();
    return status;
}

}  // namespace

TEST(MacroToolTest, DumpThenBuildGivesBackTheSameBytesForAnyFile) {
    // Every macro of the test data, then random ones.
    const std::filesystem::path data = TAPEWRIGHT_TEST_DATA "/macro_playback";
    std::size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(data)) {
        const std::string text = ReadBytes(entry.path().string());
        const std::vector<uint8_t> bytes(text.begin(), text.end());
        EXPECT_EQ(ParseMacro(FormatMacro(bytes)), bytes) << entry.path();
        ++files;
    }
    EXPECT_GT(files, 0u) << "no test data in " << data;
    std::mt19937 random(20261208);
    for (int i = 0; i < 2000; ++i) {
        const std::vector<uint8_t> bytes = RandomMacro(random);
        const std::string text = FormatMacro(bytes);
        ASSERT_EQ(ParseMacro(text), bytes) << text;
    }
}

TEST(MacroToolTest, ALineThatCannotBeReadNamesItsNumberAndNothingIsWritten) {
    const char* bad[] = {"x WM_MOUSEMOVE 1 2", "5 WM_FOO",         "5 WM_KEYDOWN QQ scan=1E",
                         "5 WM_KEYDOWN A",     "5 WM_MOUSEMOVE 1", "5 0x113 colour=0x1",
                         "trailing 01 02 zz",  "trailing"};
    for (const char* line : bad) {
        try {
            ParseMacro(std::string("# a comment\n0 WM_MOUSEMOVE 1 2\n\n") + line + "\n");
            ADD_FAILURE() << "accepted: " << line;
        } catch (const MacroTextError& error) {
            EXPECT_EQ(std::string(error.what()).rfind("line 4: expected ", 0), 0u) << error.what();
        }
    }
    ScratchDirectory dir;
    WriteBytes(dir.File("bad.txt"), "0 WM_MOUSEMOVE 1 2\n1 WM_MOUSEMOVE 1\n");
    std::string output;
    EXPECT_EQ(RunTool({"build", dir.File("bad.txt"), dir.File("out.mcr")}, &output), kExitFailed);
    EXPECT_NE(output.find("line 2"), std::string::npos) << output;
    EXPECT_FALSE(std::filesystem::exists(dir.File("out.mcr")));
}

TEST(MacroToolTest, InfoGivesThePlayingTimeAndWhatIsLeftDown) {
    const std::vector<EVENTMSG> records = {
        {msg::kMouseMove, 10, static_cast<uint32_t>(-20), 5000, 0},  // the first goes at once
        {msg::kKeyDown, 0x1E41, 1, 1000, 0},                         // A
        {msg::kKeyDown, 0x1D11, 0x8001, 1150, 0},                    // right Ctrl
        {msg::kKeyUp, 0x1E41, 1, 1299, 0},
        {msg::kLButtonDown, 640, 480, 1200, 0},  // time goes backwards here
        {msg::kMouseWheel, 700, 5, 2000, static_cast<uint32_t>(-120)},
        {0x0113, 0, 0, 0xFFFFFFF0u, 0},  // before time 0: due at once
    };
    const MacroSummary s = Summarise(Bytes(records, 3), PercentOfSpeedIndex(15));
    EXPECT_EQ(s.records, 7u);
    EXPECT_EQ(s.trailingBytes, 3u);
    EXPECT_EQ(s.playingMilliseconds, 1000u);  // 2000 div 100 x 50
    EXPECT_EQ(s.keys, 3u);
    EXPECT_EQ(s.moves, 1u);
    EXPECT_EQ(s.buttons, 1u);
    EXPECT_EQ(s.wheels, 1u);
    EXPECT_EQ(s.others, 1u);
    EXPECT_EQ(s.keysHeld, std::vector<std::string>{"CONTROL (1D ext)"});
    EXPECT_EQ(s.buttonsHeld, std::vector<std::string>{"left"});
    EXPECT_EQ(std::vector<int32_t>({s.left, s.top, s.right, s.bottom}),
              std::vector<int32_t>({10, -20, 700, 480}));
    EXPECT_EQ(s.backwards.size(), 2u);  // 1000 after 5000, 1200 after 1299
}

TEST(MacroToolTest, CheckPassesABalancedMacroAndNamesWhatIsLeftDown) {
    ScratchDirectory dir;
    const std::string balanced = dir.File("balanced.mcr");
    const std::string held = dir.File("held.mcr");
    WriteBytes(dir.File("b.txt"),
               "0 WM_KEYDOWN SHIFT scan=2A\n10 WM_LBUTTONDOWN 1 2\n"
               "20 WM_LBUTTONUP 1 2\n30 WM_KEYUP SHIFT scan=2A\n"
               "40 WM_XBUTTONDOWN 1 2 hwnd=1\n50 WM_XBUTTONUP 1 2 hwnd=1\n");
    WriteBytes(dir.File("h.txt"),
               "0 WM_KEYDOWN SHIFT scan=2A\n10 WM_RBUTTONDOWN 1 2\n"
               "20 WM_XBUTTONDOWN 1 2 hwnd=2\n");
    ASSERT_EQ(RunTool({"build", dir.File("b.txt"), balanced}), kExitOk);
    ASSERT_EQ(RunTool({"build", dir.File("h.txt"), held}), kExitOk);
    std::string output;
    EXPECT_EQ(RunTool({"check", balanced}, &output), kExitOk);
    EXPECT_EQ(output, "");
    EXPECT_EQ(RunTool({"check", held}, &output), kExitProblems);
    EXPECT_EQ(output,
              "key left down: SHIFT (2A)\nbutton left down: right\nbutton left down: forward\n");
    EXPECT_EQ(RunTool({"check", dir.File("missing.mcr")}, &output), kExitFailed);
    EXPECT_EQ(RunTool({"check"}, &output), kExitFailed);
}

TEST(MacroToolTest, InfoDumpAndHelpThroughTheCommandLine) {
    ScratchDirectory dir;
    const std::string macro = dir.File("m.mcr");
    const std::string text = "0 WM_KEYDOWN SHIFT scan=2A\n2000 WM_LBUTTONDOWN 1 2\n";
    WriteBytes(dir.File("m.txt"), text);
    ASSERT_EQ(RunTool({"build", dir.File("m.txt"), macro}), kExitOk);
    std::string output;

    EXPECT_EQ(RunTool({"info", macro, "15"}, &output), kExitOk);
    EXPECT_NE(output.find("records:        2\n"), std::string::npos) << output;
    EXPECT_NE(output.find("playing time:   1000 ms at 50 %\n"), std::string::npos) << output;
    EXPECT_NE(output.find("keys left down: SHIFT (2A)\n"), std::string::npos) << output;
    EXPECT_EQ(RunTool({"info", macro, "20"}, &output), kExitFailed);
    EXPECT_EQ(output, "tapewright-macro: the speed index must be a number from 0 to 19\n");
    EXPECT_EQ(RunTool({"info", dir.File("missing.mcr")}, &output), kExitFailed);

    EXPECT_EQ(RunTool({"dump", macro}, &output), kExitOk);
    EXPECT_EQ(output, "# 2 records of " + macro + "\n" + text);
    EXPECT_EQ(RunTool({"dump", macro, "extra"}, &output), kExitFailed);
    EXPECT_EQ(output, "tapewright-macro: usage: tapewright-macro dump FILE.mcr\n");

    EXPECT_EQ(RunTool({"--help"}, &output), kExitOk);
    for (const char* command : {"info", "dump", "build", "check"}) {
        EXPECT_NE(output.find(std::string("  tapewright-macro ") + command), std::string::npos)
            << output;
    }
    EXPECT_EQ(RunTool({}, &output), kExitFailed);
    EXPECT_EQ(output.rfind("usage: tapewright-macro COMMAND", 0), 0u) << output;
    EXPECT_EQ(RunTool({"dump", "--help"}, &output), kExitOk);
    EXPECT_EQ(output.rfind("usage: tapewright-macro dump FILE.mcr\nWrites the macro as text", 0),
              0u)
        << output;
    EXPECT_EQ(RunTool({"play"}, &output), kExitFailed);
    EXPECT_EQ(output, "tapewright-macro: unknown command 'play' (try --help)\n");
}
