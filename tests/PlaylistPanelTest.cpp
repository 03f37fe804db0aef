// The list panel: folding it out and in, editing and saving the playlist, and ListPlay.
#include <gtest/gtest.h>

#include "CannotPlay.h"
#include "UiFixture.h"
#include "toolkit/Files.h"

namespace {

using Entries = std::vector<std::string>;

class PlaylistPanelTest : public UiTest {
  protected:
    std::string Title(const std::string& name) const { return " Tapewright R.7 - [" + name + "]"; }
};

TEST_F(PlaylistPanelTest, ExpandAndCollapseButtons) {
    Start();
    sim.Click(form->SpeedButton2);
    EXPECT_EQ(form->ClientHeight(), 188);
    EXPECT_FALSE(form->SpeedButton2.Visible());
    EXPECT_TRUE(form->SpeedButton7.Visible());
    sim.Click(form->SpeedButton7);
    EXPECT_EQ(form->ClientHeight(), 82);
    EXPECT_TRUE(form->SpeedButton2.Visible());
    EXPECT_FALSE(form->SpeedButton7.Visible());
}

TEST_F(PlaylistPanelTest, AddAndDelete) {
    Start();
    form->ListBox1.SetItems({"a.mcr", "b.mcr", "c.mcr"});
    form->ListBox1.SetItemIndex(1);
    const std::string added = scratch.File("not yet there.mcr");
    sim.AnswerFileDialog(added);
    sim.Click(form->SpeedButton5);
    EXPECT_EQ(form->ListBox1.Items(), (Entries{"a.mcr", "b.mcr", "c.mcr", added}));
    EXPECT_EQ(form->ListBox1.ItemIndex(), 1);
    const std::string noExtension = MakeMacro("noext", {0});
    sim.AnswerFileDialog(noExtension);
    sim.Click(form->SpeedButton5);
    EXPECT_EQ(form->ListBox1.Items().back(), noExtension);  // the file chosen, as it is
    form->ListBox1.DeleteItem(4);

    sim.CancelFileDialog();
    sim.Click(form->SpeedButton5);
    EXPECT_EQ(form->ListBox1.Items().size(), 4u);

    sim.Click(form->SpeedButton4);
    EXPECT_EQ(form->ListBox1.Items(), (Entries{"a.mcr", "c.mcr", added}));
    EXPECT_EQ(form->ListBox1.ItemIndex(), -1);
    sim.Click(form->SpeedButton4);  // nothing selected
    EXPECT_EQ(form->ListBox1.Items(), (Entries{"a.mcr", "c.mcr", added}));
    EXPECT_TRUE(Shown().empty());
}

TEST_F(PlaylistPanelTest, NamesTheListFileCannotHoldAreRefused) {
    Start();
    form->ListBox1.SetItems({"a.mcr"});
    for (const std::string& name :
         {std::string("two\nlines.mcr"), std::string("two\rlines.mcr"), std::string(4096, 'x')}) {
        sim.AnswerFileDialog(scratch.File(name));
        sim.Click(form->SpeedButton5);
    }
    EXPECT_EQ(form->ListBox1.Items(), (Entries{"a.mcr"}));
    EXPECT_EQ(Shown(), std::vector<std::string>(3, "行を挿入できません."));
}

TEST_F(PlaylistPanelTest, SaveWritesEveryEntryWithCrLf) {
    Start();
    form->ListBox1.SetItems({"C:\\m\\a.mcr", " b.mcr ", ""});
    const std::string target = scratch.File("list.mlf");
    WriteBytes(target, "older list\r\n");
    sim.AnswerFileDialog(target);
    sim.Click(form->SpeedButton3);
    EXPECT_EQ(ReadBytes(target), "C:\\m\\a.mcr\r\n b.mcr \r\n\r\n");

    form->ListBox1.SetItems({"x.mcr"});
    sim.CancelFileDialog();
    sim.Click(form->SpeedButton3);
    EXPECT_EQ(ReadBytes(target), "C:\\m\\a.mcr\r\n b.mcr \r\n\r\n");
}

TEST_F(PlaylistPanelTest, ListPlayOfAnEmptyPlaylistOnlyShowsThePanel) {
    Start();
    Open(MakeMacro("a.mcr", {0, 100}));
    sim.Click(form->SpeedButton1);
    EXPECT_EQ(form->ClientHeight(), 188);
    EXPECT_EQ(form->RunMode(), "List");
    EXPECT_EQ(form->Caption(), Title("a.mcr"));
    EXPECT_EQ(form->StatusText(), "レディ");
    EXPECT_EQ(Enabled(), "Play, Loop, Record, Save, Open");
    EXPECT_EQ(form->PassCounter(), "1");
    EXPECT_FALSE(journal.IsInstalled(JournalHookType::Playback));
    EXPECT_TRUE(Shown().empty());
}

TEST_F(PlaylistPanelTest, EveryEntryPlaysOnceInItsPlace) {
    Start();
    const std::string a = MakeMacro("a.mcr", {0, 100});
    const std::string b = MakeMacro("b.mcr", {0, 50, 100});
    const struct {
        Entries entries;
        std::size_t deliveries;
        const char* lastTitle;
    } cases[] = {
        {{a}, 2, "a.mcr"},
        {{a, a}, 4, "a.mcr"},
        {{b, a, b}, 8, "b.mcr"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.entries.size());
        form->ListBox1.SetItems(c.entries);
        std::size_t before = journal.Deliveries().size();
        sim.Click(form->SpeedButton1);
        EXPECT_EQ(form->LoopLimit(), std::to_string(c.entries.size() - 1));
        EXPECT_EQ(form->PassCounter(), "0");
        EXPECT_EQ(form->StatusText(), "実行中");
        Deliver(100);
        EXPECT_EQ(journal.Deliveries().size() - before, c.deliveries);
        EXPECT_EQ(form->PassCounter(), std::to_string(c.entries.size()));
        EXPECT_EQ(form->LoopLimit(), "0");
        EXPECT_EQ(form->StatusText(), "レディ");
        EXPECT_EQ(form->Caption(), Title(c.lastTitle));
        EXPECT_EQ(Enabled(), "Play, Loop, Record, Save, Open");
    }
    EXPECT_TRUE(Shown().empty());
}

TEST_F(PlaylistPanelTest, MissingFirstEntryIsReportedAndNothingElseChanges) {
    Start();
    const std::string macro = MakeMacro("a.mcr", {0, 100});
    Open(macro);
    const std::string missing = scratch.File("gone.mcr");
    form->ListBox1.SetItems({missing, macro, macro});
    sim.Click(form->SpeedButton1);
    EXPECT_EQ(Shown(), (Entries{"ファイル " + missing + " は開けません."}));
    EXPECT_EQ(Recorder->Stream().Size(), 40u);
    EXPECT_EQ(form->Caption(), Title("a.mcr"));
    EXPECT_EQ(Enabled(), "Play, Loop, Record, Save, Open");
    EXPECT_EQ(form->LoopLimit(), "0");
    EXPECT_EQ(form->PassCounter(), "1");
    EXPECT_EQ(form->ClientHeight(), 188);
    EXPECT_EQ(form->RunMode(), "List");
    EXPECT_FALSE(journal.IsInstalled(JournalHookType::Playback));
}

TEST_F(PlaylistPanelTest, EmptyFirstEntryIsRefusedByTheEngine) {
    Start();
    const std::string empty = MakeMacro("empty.mcr", {});
    form->ListBox1.SetItems({empty, MakeMacro("a.mcr", {0, 100})});
    sim.Click(form->SpeedButton1);
    EXPECT_EQ(Shown(), (Entries{kCannotPlayShown}));
    EXPECT_EQ(form->Caption(), Title("empty.mcr"));
    EXPECT_EQ(Enabled(), "Play, Loop, Record, Open");
    EXPECT_EQ(form->PassCounter(), "0");
    EXPECT_EQ(form->LoopLimit(), "1");
    EXPECT_EQ(form->StatusText(), "レディ");
    EXPECT_EQ(Recorder->State(), rsIdle);
    EXPECT_FALSE(journal.IsInstalled(JournalHookType::Playback));
}

TEST_F(PlaylistPanelTest, ListPlayWhileRecordingWithOneEntryPlaysItOnce) {
    Start();
    const std::string a = MakeMacro("a.mcr", {0, 100});
    form->ListBox1.SetItems({a});
    sim.Click(form->RecordButton);
    journal.SendRecordEvent(msg::kMouseMove, 1);
    sim.Click(form->SpeedButton1);
    EXPECT_TRUE(Shown().empty());
    EXPECT_FALSE(journal.IsInstalled(JournalHookType::Record));
    EXPECT_EQ(form->StatusText(), "実行中");
    EXPECT_EQ(Enabled(), "");
    Deliver(100);
    EXPECT_EQ(journal.Deliveries().size(), 2u);
    EXPECT_EQ(form->StatusText(), "レディ");
    EXPECT_EQ(Recorder->Stream().Size(), 40u);
    EXPECT_EQ(Enabled(), "Play, Loop, Record, Save, Open");
}

TEST_F(PlaylistPanelTest, ListPlayWhileRecordingWithTwoEntriesGoesOnFromTheSecond) {
    Start();
    const std::string first = MakeMacro("first.mcr", {0, 50, 100});
    const std::string second = MakeMacro("second.mcr", {0, 100});
    form->ListBox1.SetItems({first, second});
    sim.Click(form->RecordButton);
    sim.Click(form->SpeedButton1);
    EXPECT_EQ(Shown(), (Entries{kCannotPlayShown}));
    EXPECT_EQ(form->Caption(), Title("second.mcr"));
    EXPECT_EQ(form->PassCounter(), "1");
    EXPECT_EQ(Recorder->State(), rsPlaying);
    Deliver(100);
    EXPECT_EQ(journal.Deliveries().size(), 2u);  // the second entry's two records only
    EXPECT_EQ(form->StatusText(), "レディ");
    EXPECT_EQ(form->LoopLimit(), "0");
    EXPECT_EQ(Enabled(), "Play, Loop, Record, Save, Open");
}

}  // namespace
