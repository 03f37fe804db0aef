// Controls: selection rules of the lists, clicks, accelerators, backend notifications and
// the file dialogs' script.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ToolkitFixture.h"

namespace {

using ControlsTest = ToolkitTest;

TEST_F(ControlsTest, ComboBoxTextIsTheSelectedItem) {
    TForm form;
    TComboBox combo{&form, "ComboBox1"};
    combo.SetItems({"通常", "合併"});
    EXPECT_EQ(combo.ItemIndex(), -1);
    EXPECT_EQ(combo.Text(), "");
    combo.SetItemIndex(1);
    EXPECT_EQ(combo.Text(), "合併");
    combo.SetItemIndex(2);
    EXPECT_EQ(combo.ItemIndex(), -1);
    EXPECT_EQ(combo.Text(), "");
    combo.SetItemIndex(0);
    combo.SetItemIndex(-7);
    EXPECT_EQ(combo.ItemIndex(), -1);
    combo.SetItemIndex(0);
    combo.SetItems({"a"});
    EXPECT_EQ(combo.ItemIndex(), -1);
}

TEST_F(ControlsTest, ListBoxSelectionFollowsDeletions) {
    TForm form;
    TListBox list{&form, "ListBox1"};
    list.SetItems({"a", "b", "c"});
    list.SetItemIndex(2);
    int changes = sim.controlChanges;
    list.DeleteItem(-1);
    list.DeleteItem(3);
    EXPECT_EQ(list.Items().size(), 3u);
    EXPECT_EQ(sim.controlChanges, changes);  // ignored without a notification
    list.DeleteItem(0);
    EXPECT_EQ(list.Items(), (TStrings{"b", "c"}));
    EXPECT_EQ(list.ItemIndex(), 1);
    list.AddItem("d");
    EXPECT_EQ(list.ItemIndex(), 1);
    list.DeleteItem(1);
    EXPECT_EQ(list.Items(), (TStrings{"b", "d"}));
    EXPECT_EQ(list.ItemIndex(), -1);
    EXPECT_EQ(sim.controlChanges, changes + 3);
}

TEST_F(ControlsTest, OnlyEnabledVisibleControlsReactToClicks) {
    TForm form;
    TButton button{&form, "Button1"};
    TCheckBox check{&form, "CheckBox1"};
    button.SetModalResult(mrOk);
    int clicks = 0;
    button.OnClick = [&](TObject* sender) {
        EXPECT_EQ(sender, &button);
        ++clicks;
    };
    button.SetEnabled(false);
    check.SetEnabled(false);
    button.Click();
    check.Click();
    button.SetEnabled(true);
    button.SetVisible(false);
    button.Click();
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(form.ModalResult(), mrNone);
    EXPECT_FALSE(check.Checked());
    button.SetVisible(true);
    button.Click();
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(form.ModalResult(), mrOk);
}

TEST_F(ControlsTest, AcceleratorIsTheLetterAfterTheAmpersand) {
    const std::pair<const char*, char> cases[] = {
        {"&Open", 'o'},          {"R-&Stop", 's'}, {"L&istPlay", 'i'},
        {"キャンセル(&C)", 'c'}, {"Button2", 0},   {"a&&b", 0},
        {"&&&x", 'x'},           {"x&", 0},        {"&あ", 0},
    };
    for (const auto& [caption, letter] : cases)
        EXPECT_EQ(AcceleratorOf(caption), letter) << caption;
    EXPECT_EQ(CaptionWithoutAmpersand("R-&Stop"), "R-Stop");
    EXPECT_EQ(CaptionWithoutAmpersand("a&&b(&C)"), "a&b(C)");
}

TEST_F(ControlsTest, PressedAcceleratorReachesTheMatchingEnabledControl) {
    CountDialog dialog;
    TSpeedButton play{&dialog, "PlayButton"};
    play.SetCaption("&Play");
    play.SetEnabled(false);
    int plays = 0;
    play.OnClick = [&](TObject*) { ++plays; };
    EXPECT_FALSE(dialog.PressAccelerator('p'));
    play.SetEnabled(true);
    EXPECT_TRUE(dialog.PressAccelerator('P'));
    EXPECT_EQ(plays, 1);
    EXPECT_TRUE(dialog.PressAccelerator('r'));  // the label focuses its edit
    EXPECT_EQ(dialog.ActiveControl(), &dialog.edit);
    EXPECT_TRUE(dialog.PressAccelerator('a'));
    EXPECT_TRUE(dialog.check.Checked());
    EXPECT_TRUE(dialog.PressAccelerator('c'));
    EXPECT_EQ(dialog.ModalResult(), mrCancel);
    EXPECT_FALSE(dialog.PressAccelerator('z'));
}

TEST_F(ControlsTest, BackendHearsOfRealChangesOnly) {
    TForm form("Form1");
    TStatusBar bar{&form, "SB"};
    TLabel label{&form, "Label1"};
    bar.SetPanels({TStatusPanel{"ﾚﾃﾞｨ", 100, pbRaised}});
    int changes = sim.controlChanges;
    bar.SetPanelText(0, "ﾚﾃﾞｨ");
    bar.SetPanelText(1, "none");
    label.SetCaption("");
    EXPECT_EQ(sim.controlChanges, changes);
    bar.SetPanelText(0, "レディ");
    label.SetBounds(84, 266, 0, 0);
    form.SetClientHeight(82);
    EXPECT_EQ(sim.controlChanges, changes + 3);
    EXPECT_EQ(bar.Panels()[0].Text, "レディ");

    form.SetFont(TFont{"MS UI Gothic", -12, kShiftJisCharset});
    EXPECT_EQ(label.Font().Name, "MS UI Gothic");  // taken from the form
    label.SetFont(TFont{"Tahoma", -11, kDefaultCharset});
    EXPECT_EQ(label.Font().Name, "Tahoma");
}

TEST_F(ControlsTest, FileDialogsAnswerFromTheScript) {
    TOpenDialog open;
    open.Title = "マクロを開く";
    open.DefaultExt = "mcr";
    open.Filter = "マクロファイル (*.mcr)|*.mcr|マクロリストファイル (*.mlf)|*.mlf";
    sim.AnswerFileDialog("/m/a.mcr");
    sim.CancelFileDialog();
    sim.AnswerFileDialog("/m/b");
    EXPECT_TRUE(open.Execute());
    EXPECT_EQ(open.FileName, "/m/a.mcr");
    EXPECT_FALSE(open.Execute());
    EXPECT_EQ(open.FileName, "/m/a.mcr");
    EXPECT_TRUE(open.Execute());
    EXPECT_EQ(open.FileName, "/m/b");  // a chosen file is taken as it is
    EXPECT_FALSE(open.Execute());      // no answer left: cancelled
    EXPECT_EQ(sim.fileDialogTitles.size(), 4u);
    EXPECT_EQ(open.Filters(),
              (std::vector<TFileFilter>{{"マクロファイル (*.mcr)", "*.mcr"},
                                        {"マクロリストファイル (*.mlf)", "*.mlf"}}));

    TSaveDialog save;
    save.DefaultExt = "mlf";
    sim.AnswerFileDialog("/m/list");
    sim.AnswerFileDialog("/m/list.txt");
    EXPECT_TRUE(save.Execute());
    EXPECT_EQ(save.FileName, "/m/list.mlf");  // a typed name gets the default extension
    EXPECT_TRUE(save.Execute());
    EXPECT_EQ(save.FileName, "/m/list.txt");
}

}  // namespace
