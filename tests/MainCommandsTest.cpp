// The commands of the main window that drive the engine directly (Open, Save, Record, R-Stop,
// Play, Help) and the close request that stores the window's position.
#include <gtest/gtest.h>

#include <filesystem>

#include "CannotPlay.h"
#include "HeldOpen.h"
#include "UiFixture.h"
#include "engine/MacroFile.h"
#include "toolkit/Files.h"
#include "toolkit/Strings.h"
#include "ui/LoadProgressDisplay.h"

namespace {

const char kMacroIdle[] = "Play, Loop, Record, Save, Open";

class MainCommandsTest : public UiTest {
  protected:
    TIniQuillSystem Settings() const override {
        TIniQuillSystem system = UiTest::Settings();
        if (failSettingsWrites) {
            system.writeProfile = [](const std::string&, const std::string&, const std::string&,
                                     const std::string&) { return false; };
        }
        return system;
    }

    std::string StreamBytes() const {
        const MacroStream& stream = Recorder->Stream();
        return {reinterpret_cast<const char*>(stream.Data()), stream.Size()};
    }

    bool failSettingsWrites = false;
};

TEST_F(MainCommandsTest, OpenOfAMacroFileShowsItsNameAndMakesTheWindowReady) {
    std::filesystem::create_directory(scratch.File("sub"));
    Start();
    for (const char* name : {"sub/a.mcr", "x.Mcr"}) {
        SCOPED_TRACE(name);
        const std::string path = MakeMacro(name, {0, 100});
        sim.Click(form->SpeedButton2);
        form->SetLoopLimit("5");
        form->SetPassCounter("9");
        Open(path);
        EXPECT_EQ(form->Caption(), " Tapewright R.7 - [" + ExtractFileName(path) + "]");
        EXPECT_EQ(form->StatusText(), "レディ");
        EXPECT_EQ(Enabled(), kMacroIdle);
        EXPECT_EQ(form->LoopLimit(), "0");
        EXPECT_EQ(form->PassCounter(), "1");
        EXPECT_EQ(form->ClientHeight(), 82);
        EXPECT_TRUE(form->SpeedButton2.Visible());
        EXPECT_FALSE(form->SpeedButton7.Visible());
        EXPECT_EQ(StreamBytes(), ReadBytes(path));
    }
}

TEST_F(MainCommandsTest, OpenClosesTheMacroFileBeforeThePassThatItsIdleCallStarts) {
    Start();
    const std::string path = MakeMacro("a.mcr", {0, 100});
    form->SetEndlessFlag("0");  // the idle procedure restarts playback
    bool heldDuringPass = true;
    TRecorderStateEvent listener = Recorder->OnStateChange;
    Recorder->OnStateChange = [&](TRecorderState state) {
        if (state == rsPlaying) heldDuringPass = HeldOpen(path);
        listener(state);
    };
    Open(path);
    Recorder->OnStateChange = listener;
    EXPECT_EQ(Recorder->State(), rsPlaying);
    EXPECT_FALSE(heldDuringPass);
    EXPECT_TRUE(Shown().empty());
}

TEST_F(MainCommandsTest, OtherExtensionsAreReadAsMacroListFiles) {
    Start();
    const std::string macro = MakeMacro("a.mcr", {0, 100});
    for (const char* name : {"x.txt", "noext"}) {
        SCOPED_TRACE(name);
        WriteBytes(scratch.File(name), std::string("first.mcr\r\n") + name + ".mcr\r\n");
        Open(macro);
        Open(scratch.File(name));
        EXPECT_EQ(form->ListBox1.Items(),
                  (std::vector<std::string>{"first.mcr", std::string(name) + ".mcr"}));
        EXPECT_EQ(form->ClientHeight(), 188);
        EXPECT_FALSE(form->SpeedButton2.Visible());
        EXPECT_TRUE(form->SpeedButton7.Visible());
        EXPECT_EQ(Enabled(), "Save, Open");
        EXPECT_EQ(form->Caption(), " Tapewright R.7 - [a.mcr]");
        EXPECT_EQ(form->StatusText(), "レディ");
        EXPECT_EQ(StreamBytes(), ReadBytes(macro));
    }
    EXPECT_TRUE(Shown().empty());
}

TEST_F(MainCommandsTest, ALongLoadShowsHowFarItHasComeThenTheStatusAgain) {
    Start();
    const std::string path = scratch.File("big.mcr");
    WriteBytes(path, std::string(std::size_t{6} << 20, '\0'));
    const std::string before = form->StatusText();
    std::vector<std::string> drawn;
    sim.onRepaint = [&] { drawn.push_back(form->StatusText()); };
    {
        LoadProgressDisplay progress(*form, std::chrono::milliseconds(0));
        LoadMacroFile(path);
    }
    EXPECT_EQ(drawn, (std::vector<std::string>{"66 %", "100 %"}));
    EXPECT_EQ(form->StatusText(), before);
}

TEST_F(MainCommandsTest, OpenOfAMissingFileReportsItAndChangesNothingElse) {
    Start();
    const std::string macro = MakeMacro("a.mcr", {0, 100});
    Open(macro);
    form->ListBox1.SetItems({"keep.mcr"});
    sim.Click(form->SpeedButton2);

    const std::string list = scratch.File("gone.mlf");
    Open(list);
    EXPECT_EQ(Shown(), (std::vector<std::string>{"ファイル " + list + " は開けません."}));
    EXPECT_EQ(sim.messageBoxes[0].caption, "Tapewright");
    EXPECT_EQ(form->ListBox1.Items(), (std::vector<std::string>{"keep.mcr"}));
    EXPECT_EQ(form->ClientHeight(), 188);
    EXPECT_EQ(Enabled(), kMacroIdle);

    const std::string gone = scratch.File("gone.mcr");
    Open(gone);
    EXPECT_EQ(Shown().back(), "ファイル " + gone + " は開けません.");
    EXPECT_EQ(form->ClientHeight(), 82);  // the panel was hidden before the open failed
    EXPECT_EQ(form->Caption(), " Tapewright R.7 - [a.mcr]");
    EXPECT_EQ(Enabled(), kMacroIdle);
    EXPECT_EQ(StreamBytes(), ReadBytes(macro));
}

TEST_F(MainCommandsTest, EmptyMacroFileOffersPlayWhichTheEngineRefuses) {
    Start();
    Open(MakeMacro("a.mcr", {0, 100}));
    Open(MakeMacro("empty.mcr", {}));
    EXPECT_EQ(Recorder->Stream().Size(), 0u);
    EXPECT_EQ(Enabled(), "Play, Loop, Record, Open");

    form->SetPassCounter("7");
    sim.Click(form->PlayButton);
    // The engine's text ends in "。", which sorts after ".", so a "." follows it.
    EXPECT_EQ(Shown(), (std::vector<std::string>{kCannotPlayShown}));
    EXPECT_EQ(form->PassCounter(), "1");
    EXPECT_EQ(Recorder->State(), rsIdle);
    EXPECT_FALSE(journal.IsInstalled(JournalHookType::Playback));
    EXPECT_EQ(form->StatusText(), "レディ");
    EXPECT_EQ(Enabled(), "Play, Loop, Record, Open");
}

TEST_F(MainCommandsTest, SaveWritesTheStreamOrNothing) {
    Start();
    sim.Click(form->RecordButton);
    journal.SendRecordEvent(msg::kMouseMove, 1);
    journal.SendRecordEvent(msg::kMouseMove, 2);
    sim.Click(form->StopButton);
    const std::string recorded = StreamBytes();
    ASSERT_EQ(recorded.size(), 40u);

    const std::string target = scratch.File("out.mcr");
    WriteBytes(target, "an older macro");
    sim.AnswerFileDialog(target);
    sim.Click(form->New1);
    EXPECT_EQ(ReadBytes(target), recorded);
    EXPECT_EQ(form->StatusText(), "記録終了");
    EXPECT_EQ(form->Caption(), " Tapewright R.7");
    EXPECT_EQ(Enabled(), kMacroIdle);

    sim.AnswerFileDialog(scratch.File("named"));
    sim.Click(form->New1);
    EXPECT_EQ(ReadBytes(scratch.File("named.mcr")), recorded);

    std::filesystem::remove(target);
    const std::size_t before = EntriesIn(scratch.Path());
    sim.CancelFileDialog();
    sim.Click(form->New1);
    EXPECT_EQ(EntriesIn(scratch.Path()), before);

    const std::string unwritable = scratch.File("no such dir/out.mcr");
    sim.AnswerFileDialog(unwritable);
    sim.Click(form->New1);
    EXPECT_EQ(Shown(), (std::vector<std::string>{"ファイル " + unwritable + " を作成できません."}));
}

TEST_F(MainCommandsTest, MergedRecordingFollowsTheOpenedMacro) {
    Start();
    const std::string macro = MakeMacro("a.mcr", {0, 100});
    Open(macro);
    form->ComboBox1.SetItemIndex(1);
    sim.Click(form->RecordButton);
    EXPECT_EQ(form->StatusText(), "操作記録中");
    EXPECT_EQ(Enabled(), "R-Stop");
    journal.SendRecordEvent(msg::kMouseMove, 77);
    sim.Click(form->StopButton);
    const std::string bytes = StreamBytes();
    ASSERT_EQ(bytes.size(), 60u);
    EXPECT_EQ(bytes.substr(0, 40), ReadBytes(macro));
    EVENTMSG last = DecodeEvent(reinterpret_cast<const uint8_t*>(bytes.data()) + 40);
    EXPECT_EQ(last.paramL, 77u);
}

// Where the journal cannot see every program (a Wayland session), a recording that caught
// nothing but its own stop says why; one that caught anything says nothing.
TEST_F(MainCommandsTest, AnEmptyRecordingWhereTheJournalCannotSeeEverythingSaysWhy) {
    journal.SetRecordingLimit("見えません。");
    Start();
    auto record = [&](std::vector<std::pair<uint32_t, uint32_t>> events, bool clickStop) {
        sim.Click(form->RecordButton);
        for (auto [message, paramL] : events) journal.SendRecordEvent(message, paramL);
        if (clickStop) sim.Click(form->StopButton);
        app->ProcessMessages();
        return Shown().size();
    };
    EXPECT_EQ(record({{msg::kMouseMove, 5}, {msg::kLButtonDown, 0}}, true), 1u);
    EXPECT_EQ(Shown()[0], "何も記録されませんでした。\n見えません。");
    EXPECT_EQ(record({{msg::kKeyDown, 0x11}, {msg::kKeyDown, kVkCancel}}, false), 2u);
    EXPECT_EQ(record({{msg::kKeyDown, 'A'}, {msg::kKeyUp, 'A'}}, true), 2u);
    EXPECT_EQ(record({{msg::kLButtonDown, 0}, {msg::kLButtonUp, 0}, {msg::kLButtonDown, 0}}, true),
              2u);
    EXPECT_EQ(Recorder->State(), rsIdle);
}

TEST_F(MainCommandsTest, RStopWhileTheEngineIsIdleOnlyReleasesTheButtons) {
    Start();
    journal.FailInstalls(JournalHookType::Record, true);
    sim.Click(form->RecordButton);
    EXPECT_EQ(Shown(), (std::vector<std::string>{"JournalHook が作成できませんでした。."}));
    EXPECT_EQ(Recorder->State(), rsIdle);
    EXPECT_EQ(form->StatusText(), "記録中");
    EXPECT_EQ(Enabled(), "R-Stop, Open");

    sim.Click(form->StopButton);
    EXPECT_EQ(form->StatusText(), "記録終了");
    EXPECT_EQ(Enabled(), "Play, Loop, Record, R-Stop, Open");
}

TEST_F(MainCommandsTest, PlayHandsTheSelectedPercentageToTheEngine) {
    Start();
    Open(MakeMacro("a.mcr", {0, 100}));
    const std::pair<int, int32_t> speeds[] = {{4, 160}, {19, 10}, {0, 200}, {7, 130}};
    for (auto [index, percent] : speeds) {
        SCOPED_TRACE(index);
        form->ComboBox2.SetItemIndex(index);
        sim.Click(form->PlayButton);
        EXPECT_EQ(Recorder->SpeedPercent(), percent);
        EXPECT_EQ(form->StatusText(), "実行中");
        Deliver(2);
    }
}

TEST_F(MainCommandsTest, HelpNamesTheHelpFileOnEveryPress) {
    Start();
    sim.Click(form->SpeedButton6);
    app->HelpFile = "OTHER.HLP";
    sim.Click(form->SpeedButton6);
    const SimBackend::HelpCall contents{"TAPEWRT.HLP", 3, 0};
    EXPECT_EQ(sim.helpCalls, (std::vector<SimBackend::HelpCall>{contents, contents}));
}

TEST_F(MainCommandsTest, ClosingStoresThePositionAndTheNextStartRestoresIt) {
    Start();
    form->SetLeft(-4);
    sim.CloseByUser(*form);
    EXPECT_TRUE(app->Terminated());
    EXPECT_EQ(ReadBytes(SettingsFile()), "[WINDOW]\r\nPOS.X=-4\r\nPOS.Y=162\r\n");

    delete Recorder;
    app.reset();
    Start();
    EXPECT_EQ(form->Left(), -4);
    EXPECT_EQ(form->Top(), 162);
}

TEST_F(MainCommandsTest, ASettingsFileThatCannotBeWrittenIsReportedAndTheCloseGoesOn) {
    failSettingsWrites = true;
    Start();
    form->Show();
    sim.CloseByUser(*form);
    EXPECT_EQ(Shown(), (std::vector<std::string>{SettingsFile() + " に書き込めません."}));
    EXPECT_EQ(sim.messageBoxes[0].caption, "Tapewright");
    EXPECT_TRUE(app->Terminated());
    EXPECT_FALSE(form->Visible());
    EXPECT_FALSE(FileExists(SettingsFile()));
}

}  // namespace
