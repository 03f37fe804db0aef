// Command lines from start to end: what start-up shows, what plays, whether the program
// closes, and whether the window is ever shown.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "CannotPlay.h"
#include "UiFixture.h"
#include "toolkit/Files.h"
#include "ui/ProgramEntry.h"

namespace {

class CommandLineRunTest : public UiTest {
  protected:
    void SetUp() override {
        std::filesystem::create_directory(scratch.File("my dir"));
        MakeMacro("a.mcr", {0, 100});
        MakeMacro("b.mcr", {0, 50, 100});
        MakeMacro("empty.mcr", {});
        MakeMacro("my dir/a.mcr", {0, 100});
        WriteBytes(scratch.File("list.mlf"),
                   scratch.File("a.mcr") + "\r\n" + scratch.File("b.mcr") + "\r\n");
    }

    // The first argument names a file of the scratch directory.
    std::vector<std::string> InScratch(std::vector<std::string> arguments) const {
        if (!arguments.empty()) arguments[0] = scratch.File(arguments[0]);
        return arguments;
    }

    // A new program in place of the running one, with a clean journal and clean records.
    void Restart(std::vector<std::string> arguments) {
        delete Recorder;
        app.reset();
        Form1 = nullptr;
        journal.Reset();
        sim.messageBoxes.clear();
        sim.formEvents.clear();
        std::filesystem::remove(SettingsFile());
        Start(std::move(arguments));
    }
};

struct CommandLineCase {
    std::vector<std::string> arguments;
    const char* status;      // after start-up
    const char* enabled;     // after start-up
    const char* title;       // "" the plain caption, "=" argument 1 as typed, else this name
    int speedIndex;          // after start-up
    const char* loopLimit;   // after start-up
    const char* exitFlag;    // after start-up
    std::size_t deliveries;  // after the message loop; an endless run is cancelled at 9
    bool closed;             // the message loop ended by closing the window
    std::vector<std::string> shown;
};

TEST_F(CommandLineRunTest, EveryCommandLine) {
    const char* macroIdle = "Play, Loop, Record, Save, Open";
    // clang-format off
    const CommandLineCase cases[] = {
        {{}, "レディ", "Record, Open", "", 10, "0", "0", 0, false, {}},
        {{"missing.mcr", "/S", "/E"}, "レディ", "Record, Open", "", 10, "0", "0", 0, false, {}},
        {{"my dir", "/S", "/E"}, "レディ", "Record, Open", "", 10, "0", "0", 0, false, {}},
        {{"a.mcr"}, "自動指定", macroIdle, "=", 10, "0", "0", 0, false, {}},
        {{"empty.mcr"}, "自動指定", "Play, Loop, Record, Open", "=", 10, "0", "0", 0, false, {}},
        {{"list.mlf"}, "自動指定", "Play, Loop, Open", "=", 10, "0", "0", 0, false, {}},
        {{"a.mcr", "/S"}, "実行中", "", "=", 10, "0", "0", 2, false, {}},
        {{"a.mcr", "/S5"}, "実行中", "", "=", 5, "0", "0", 2, false, {}},
        {{"a.mcr", "/S", "/E"}, "実行中", "", "=", 10, "0", "1", 2, true, {}},
        {{"a.mcr", "/L3"}, "実行中", "", "=", 10, "3", "0", 6, false, {}},
        {{"a.mcr", "/L3-5", "/E"}, "実行中", "", "=", 5, "3", "1", 6, true, {}},
        {{"a.mcr", "/L3-"}, "実行中", "", "=", 10, "3", "0", 6, false, {}},
        {{"a.mcr", "/A"}, "実行中", "", "=", 10, "0", "0", 9, false, {}},
        {{"a.mcr", "/A12", "/E"}, "実行中", "", "=", 12, "0", "1", 9, true, {}},
        {{"list.mlf", "/P", "/E"}, "実行中", "", "a.mcr", 10, "1", "1", 5, true, {}},
        {{"list.mlf", "/S", "/E"}, "自動実行", "Play, Loop, Open", "=", 10, "0", "0", 0, false,
         {kCannotPlayShown}},
        {{"a.mcr", "/P", "/E"}, "自動プレイリスト実行", macroIdle, "=", 10, "0", "1", 0, false, {}},
        {{"a.mcr", "/D"}, "自動指定", macroIdle, "=", 10, "0", "0", 0, false, {}},
        {{"a.mcr", "/s"}, "自動指定", macroIdle, "=", 10, "0", "0", 0, false, {}},
        {{"a.mcr", "/Sx", "/E"}, "自動実行", macroIdle, "=", 10, "0", "0", 0, false,
         {"'x' は数値ではありません."}},
        {{"a.mcr", "/S25"}, "自動実行", macroIdle, "=", -1, "0", "0", 0, false,
         {"'' は数値ではありません."}},
        {{"a.mcr", "/X", "/E"}, "自動指定", macroIdle, "=", 10, "0", "1", 0, false, {}},
        {{"my dir/a.mcr", "/S"}, "実行中", "", "=", 10, "0", "0", 2, false, {}},
    };
    // clang-format on
    for (const CommandLineCase& c : cases) {
        std::vector<std::string> arguments = InScratch(c.arguments);
        std::string line;
        for (const std::string& argument : arguments) line += argument + " ";
        SCOPED_TRACE(line);
        Restart(arguments);

        EXPECT_EQ(form->StatusText(), c.status);
        EXPECT_EQ(Enabled(), c.enabled);
        std::string title = c.title;
        if (title == "=") title = arguments[0];
        EXPECT_EQ(form->Caption(),
                  title.empty() ? " Tapewright R.7" : " Tapewright R.7 - [" + title + "]");
        EXPECT_EQ(form->ComboBox2.ItemIndex(), c.speedIndex);
        EXPECT_EQ(form->LoopLimit(), c.loopLimit);
        EXPECT_EQ(form->ExitFlag(), c.exitFlag);
        bool endless = arguments.size() > 1 && arguments[1].starts_with("/A");
        EXPECT_EQ(form->EndlessFlag(), endless ? "0" : "");
        bool listPlay = arguments.size() > 1 && arguments[1] == "/P";
        EXPECT_EQ(form->ClientHeight(), listPlay ? 188 : 82);
        EXPECT_EQ(Shown(), c.shown);
        for (const auto& box : sim.messageBoxes) EXPECT_EQ(box.caption, "Tapewright");

        sim.playback.onDelivered = [this](const SimJournal::Delivery&) {
            if (journal.Deliveries().size() == 9) journal.CancelJournal();
        };
        app->Run();
        EXPECT_EQ(journal.Deliveries().size(), c.deliveries);
        if (c.deliveries > 0) {
            EXPECT_EQ(Recorder->SpeedPercent(), 200 - 10 * c.speedIndex);
        }
        EXPECT_EQ(app->Terminated(), c.closed);
        EXPECT_EQ(Shown(), c.shown);  // nothing more went wrong while running
    }
}

TEST_F(CommandLineRunTest, ExitSwitchWithoutARunClosesAtTheNextFinishingStep) {
    for (const char* mode : {"/X", "/P"}) {
        SCOPED_TRACE(mode);
        Restart({scratch.File("a.mcr"), mode, "/E"});
        app->ProcessMessages();
        EXPECT_FALSE(app->Terminated());
        sim.Click(form->PlayButton);
        Deliver(2);
        EXPECT_TRUE(app->Terminated());
        EXPECT_EQ(ReadBytes(SettingsFile()), "[WINDOW]\r\nPOS.X=357\r\nPOS.Y=162\r\n");
    }
}

TEST_F(CommandLineRunTest, AnErrorOfTheEnginesLastNotificationIsStillShown) {
    // The message loop ends with the engine recording and a loop limit that the idle
    // procedure of the engine's release cannot read.
    sim.Schedule([this] {
        Form1->SetLoopLimit("x");
        sim.Click(Form1->RecordButton);
    });
    EXPECT_EQ(RunProgram({ExecutablePath()}, Settings()), 0);
    EXPECT_EQ(Shown(), (std::vector<std::string>{"'x' は数値ではありません."}));
    EXPECT_EQ(sim.messageBoxes[0].caption, "Tapewright");
    EXPECT_EQ(Recorder, nullptr);
}

TEST_F(CommandLineRunTest, HideSwitchKeepsTheWindowUnshownForTheWholeRun) {
    struct Case {
        std::vector<std::string> arguments;
        bool shown;
        std::size_t deliveries;
        bool closed;
    };
    const Case cases[] = {
        {{"a.mcr", "/S", "/E", "/D"}, false, 2, true},
        {{"a.mcr", "/S", "x", "/D"}, false, 2, false},
        {{"missing.mcr", "/S", "/E", "/D"}, false, 0, false},
        {{"a.mcr", "/D"}, true, 0, false},
        {{"a.mcr", "/S", "/E", "/d"}, true, 2, true},
        {{"a.mcr", "/S", "/E"}, true, 2, true},
    };
    for (const Case& c : cases) {
        std::vector<std::string> arguments = InScratch(c.arguments);
        SCOPED_TRACE(arguments[1] + " " + arguments.back());
        journal.Reset();
        sim.formEvents.clear();
        std::filesystem::remove(SettingsFile());
        arguments.insert(arguments.begin(), ExecutablePath());

        EXPECT_EQ(RunProgram(arguments, Settings()), 0);
        bool shown = std::find(sim.formEvents.begin(), sim.formEvents.end(), "show Form1") !=
                     sim.formEvents.end();
        EXPECT_EQ(shown, c.shown);
        EXPECT_EQ(journal.Deliveries().size(), c.deliveries);
        // Only a close asks to store the window's position.
        EXPECT_EQ(FileExists(SettingsFile()), c.closed);
        EXPECT_EQ(Recorder, nullptr);
        EXPECT_EQ(Form1, nullptr);
    }
}

}  // namespace
