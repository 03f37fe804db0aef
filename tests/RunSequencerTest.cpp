// The worked runs: after each event the status text, the enabled buttons and the run
// variables are what the user and the next pass rely on.
#include <gtest/gtest.h>

#include "UiFixture.h"
#include "ui/LoopDialog.h"

namespace {

class RunTest : public UiTest {
  protected:
    void LoopDialogAnswers(const std::string& count, bool endless) {
        sim.onModal = [this, count, endless](TForm& dialog) {
            auto& loop = static_cast<TForm2&>(dialog);
            loop.Edit1.SetText(count);
            if (endless) sim.Click(loop.CheckBox1);
            sim.Click(loop.Button1);
        };
    }
};

TEST_F(RunTest, StartUpWithoutArguments) {
    Start();
    EXPECT_EQ(form->StatusText(), "レディ");
    EXPECT_EQ(form->Caption(), " Tapewright R.7");
    EXPECT_EQ(Enabled(), "Record, Open");
    EXPECT_EQ(form->ClientHeight(), 82);
    EXPECT_TRUE(form->SpeedButton2.Visible());
    EXPECT_FALSE(form->SpeedButton7.Visible());
    EXPECT_EQ(form->ComboBox1.Text(), "通常");
    EXPECT_EQ(form->ComboBox2.Text(), "100 %");
    EXPECT_EQ(form->LoopLimit(), "0");
    EXPECT_EQ(form->PassCounter(), "2");
    EXPECT_TRUE(form->SpeedButton1.Enabled());
    EXPECT_TRUE(form->SpeedButton6.Enabled());
}

TEST_F(RunTest, SinglePlay) {
    Start();
    Open(MakeMacro("a.mcr", {0, 100}));
    EXPECT_EQ(form->Caption(), " Tapewright R.7 - [a.mcr]");
    EXPECT_EQ(Enabled(), "Play, Loop, Record, Save, Open");
    EXPECT_EQ(form->PassCounter(), "1");
    sim.Click(form->PlayButton);
    EXPECT_EQ(form->StatusText(), "実行中");
    EXPECT_EQ(Enabled(), "");
    Deliver(2);
    EXPECT_EQ(form->StatusText(), "レディ");
    EXPECT_EQ(Enabled(), "Play, Loop, Record, Save, Open");
    EXPECT_EQ(form->PassCounter(), "2");
    EXPECT_EQ(form->LoopLimit(), "0");
    EXPECT_FALSE(journal.IsInstalled(JournalHookType::Playback));
}

TEST_F(RunTest, CountedLoopOfThreePasses) {
    Start();
    Open(MakeMacro("a.mcr", {0, 100}));
    LoopDialogAnswers("3", false);
    sim.Click(form->Loop);
    EXPECT_EQ(form->RunMode(), "Loop");
    EXPECT_EQ(form->StatusText(), "実行中");
    EXPECT_EQ(Form2, nullptr);
    const char* statuses[] = {"ループ再生 (2/3)", "ループ再生 (3/3)"};
    for (const char* status : statuses) {
        Deliver(2);
        EXPECT_EQ(form->StatusText(), status);
        EXPECT_EQ(Enabled(), "");
    }
    Deliver(2);
    EXPECT_EQ(form->StatusText(), "レディ");
    EXPECT_EQ(Enabled(), "Play, Loop, Record, Save, Open");
    EXPECT_EQ(form->LoopLimit(), "0");
    EXPECT_EQ(journal.Deliveries().size(), 6u);
}

TEST_F(RunTest, LoopCountIsShownAsTypedAndSmallCountsPlayOnce) {
    Start();
    Open(MakeMacro("a.mcr", {0}));
    LoopDialogAnswers("03", false);
    sim.Click(form->Loop);
    Deliver(1);
    EXPECT_EQ(form->StatusText(), "ループ再生 (2/03)");
    Deliver(100);
    for (const char* count : {"1", "0", "-5"}) {
        std::size_t before = journal.Deliveries().size();
        LoopDialogAnswers(count, false);
        sim.Click(form->Loop);
        Deliver(100);
        EXPECT_EQ(journal.Deliveries().size() - before, 1u) << count;
    }
}

TEST_F(RunTest, EndlessLoopEndedByJournalCancel) {
    Start();
    Open(MakeMacro("a.mcr", {0, 100}));
    LoopDialogAnswers("", true);
    sim.Click(form->Loop);
    for (int pass = 0; pass < 3; ++pass) {
        Deliver(2);
        EXPECT_EQ(form->StatusText(), "無限ループ再生");
        EXPECT_EQ(Enabled(), "");
        EXPECT_EQ(form->PassCounter(), "1");
    }
    journal.CancelJournal();
    app->ProcessMessages();
    EXPECT_EQ(form->StatusText(), "レディ");
    EXPECT_EQ(Enabled(), "Play, Loop, Record, Save, Open");
    EXPECT_EQ(form->EndlessFlag(), "0");
    EXPECT_EQ(form->CancelFlag(), "0");
    EXPECT_EQ(Recorder->HookHandle(), 0u);
}

TEST_F(RunTest, ListRunOverThreeEntries) {
    Start();
    form->ListBox1.SetItems(
        {MakeMacro("x.mcr", {0, 100}), MakeMacro("y.mcr", {0, 100}), MakeMacro("z.mcr", {0, 100})});
    sim.Click(form->SpeedButton1);
    EXPECT_EQ(form->StatusText(), "実行中");
    EXPECT_EQ(form->Caption(), " Tapewright R.7 - [x.mcr]");
    EXPECT_EQ(form->LoopLimit(), "2");
    EXPECT_EQ(form->ClientHeight(), 188);
    const char* titles[] = {"y.mcr", "z.mcr"};
    for (const char* title : titles) {
        Deliver(2);
        EXPECT_EQ(form->StatusText(), "再生中");
        EXPECT_EQ(form->Caption(), std::string(" Tapewright R.7 - [") + title + "]");
        EXPECT_EQ(Enabled(), "");
    }
    Deliver(2);
    EXPECT_EQ(form->StatusText(), "レディ");
    EXPECT_EQ(form->Caption(), " Tapewright R.7 - [z.mcr]");
    EXPECT_EQ(Enabled(), "Play, Loop, Record, Save, Open");
    EXPECT_EQ(form->PassCounter(), "3");
}

TEST_F(RunTest, ListEntryThatIsGoneEndsTheRunWithTheOpenError) {
    Start();
    const std::string missing = scratch.File("gone.mcr");
    form->ListBox1.SetItems({MakeMacro("x.mcr", {0, 100}), missing, MakeMacro("z.mcr", {0})});
    sim.Click(form->SpeedButton1);
    Deliver(100);
    app->ProcessMessages();  // the error was raised inside the hook and queued
    EXPECT_EQ(Shown(), (std::vector<std::string>{"ファイル " + missing + " は開けません."}));
    EXPECT_EQ(sim.messageBoxes[0].caption, "Tapewright");
    EXPECT_EQ(form->StatusText(), "レディ");
    EXPECT_EQ(form->Caption(), " Tapewright R.7 - [x.mcr]");
    EXPECT_EQ(Enabled(), "");  // the refresh never ran
    EXPECT_EQ(journal.Deliveries().size(), 2u);
}

TEST_F(RunTest, LoopLimitThatIsNoNumberFailsAtTheEndOfTheFirstPass) {
    Start();
    Open(MakeMacro("a.mcr", {0, 100}));
    LoopDialogAnswers("abc", false);
    sim.Click(form->Loop);
    Deliver(2);
    app->ProcessMessages();
    EXPECT_EQ(Shown(), (std::vector<std::string>{"'abc' は数値ではありません."}));
    EXPECT_EQ(form->PassCounter(), "2");
    EXPECT_EQ(form->LoopLimit(), "abc");
    EXPECT_EQ(form->StatusText(), "レディ");
}

TEST_F(RunTest, ExitFlagClosesTheWindowAtTheEndOfTheRun) {
    const std::string macro = MakeMacro("a.mcr", {0, 100});
    Start({macro, "/S", "/E"});
    EXPECT_EQ(form->StatusText(), "実行中");
    EXPECT_EQ(form->ExitFlag(), "1");
    app->Run();
    EXPECT_TRUE(app->Terminated());
    EXPECT_EQ(journal.Deliveries().size(), 2u);
    EXPECT_EQ(ReadBytes(SettingsFile()), "[WINDOW]\r\nPOS.X=357\r\nPOS.Y=162\r\n");
}

TEST_F(RunTest, CancelWhileRecordingKeepsTheEventsAndShowsReady) {
    Start();
    sim.Click(form->RecordButton);
    EXPECT_EQ(form->StatusText(), "操作記録中");
    EXPECT_EQ(Enabled(), "R-Stop");
    journal.SendRecordEvent(msg::kMouseMove, 1);
    journal.CancelJournal();
    app->ProcessMessages();
    EXPECT_EQ(form->StatusText(), "レディ");
    EXPECT_EQ(Recorder->Stream().Size(), 20u);
    EXPECT_EQ(Enabled(), "Play, Loop, Record, Save, Open");
}

TEST_F(RunTest, CtrlBreakEndsARecordingAndRStopShowsItsOwnText) {
    Start();
    sim.Click(form->RecordButton);
    journal.SendRecordEvent(msg::kMouseMove, 1);
    journal.SendRecordEvent(msg::kKeyDown, 0x4603);
    EXPECT_EQ(form->StatusText(), "レディ");
    EXPECT_EQ(Recorder->Stream().Size(), 40u);
    EXPECT_EQ(Enabled(), "Play, Loop, Record, Save, Open");

    sim.Click(form->RecordButton);
    EXPECT_EQ(Recorder->Stream().Size(), 0u);  // "通常" records afresh
    journal.SendRecordEvent(msg::kMouseMove, 1);
    sim.Click(form->StopButton);
    EXPECT_EQ(form->StatusText(), "記録終了");
    EXPECT_EQ(Enabled(), "Play, Loop, Record, Save, Open");
}

TEST_F(RunTest, NestedCancelDuringAPassStartLeavesTheOuterCallsTexts) {
    Start();
    Open(MakeMacro("a.mcr", {0, 100}));
    LoopDialogAnswers("5", false);
    sim.Click(form->Loop);
    Deliver(1);
    // A cancel that reaches the queue as the pass ends is let through by the next pass
    // start, and its idle notification finishes the run inside it.
    journal.PostedMessages().push_back(PostedMessage{msg::kCancelJournal, 0, 0});
    Deliver(1);
    EXPECT_EQ(Recorder->State(), rsIdle);
    EXPECT_EQ(form->LoopLimit(), "0");
    EXPECT_EQ(form->PassCounter(), "3");
    EXPECT_EQ(form->StatusText(), "ループ再生 (3/0)");
    EXPECT_EQ(Enabled(), "Play, Record, Save, Open");
}

TEST_F(RunTest, CancelQueuedBeforeARunStartsLeavesTheWindowReady) {
    Start();
    const std::string macro = MakeMacro("a.mcr", {0, 100});
    form->ListBox1.SetItems({macro});
    Open(macro);
    for (TControl* command :
         std::initializer_list<TControl*>{&form->PlayButton, &form->SpeedButton1}) {
        SCOPED_TRACE(command->Name());
        // The first pass start lets the cancel through; it ends the run at once.
        journal.PostedMessages().push_back(PostedMessage{msg::kCancelJournal, 0, 0});
        sim.Click(*command);
        EXPECT_EQ(Recorder->State(), rsIdle);
        EXPECT_EQ(form->StatusText(), "レディ");
        EXPECT_EQ(Enabled(), "Play, Loop, Record, Save, Open");
        EXPECT_EQ(form->LoopLimit(), "0");
    }
    EXPECT_TRUE(Shown().empty());
}

}  // namespace
