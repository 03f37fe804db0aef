// The text rules of the FLTK widgets: file filters in FLTK's syntax, and labels and menu
// items that show literally.
#include "platform/fltk/FltkText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct TextCase {
    const char* input;
    const char* expected;
};

TEST(FilenamePatternTest, JoinsWindowsPatternsInFltkSyntax) {
    const TextCase cases[] = {
        {"*.mcr", "*.mcr"},
        {"*.mcr;*.mlf", "*.{mcr,mlf}"},
        {" *.mcr ; *.mlf ;", "*.{mcr,mlf}"},
        {"*.*", "*"},
        {"*.mcr;*.*", "*"},
        {"", "*"},
        {"*.txt;readme*", "{*.txt,readme*}"},
        {"*.t?t;*.mcr", "{*.t?t,*.mcr}"},
    };
    for (const TextCase& c : cases) {
        EXPECT_EQ(FilenamePattern(c.input), c.expected) << c.input;
    }
}

TEST(FileChooserFilterTest, ShowsEachFilterWithItsPatternInParentheses) {
    TOpenDialog open;
    open.Filter =
        "選択可能なファイル (*.mcr/*.mlf)|*.mcr;*.mlf|"
        "マクロファイル (*.mcr)|*.mcr|"
        "マクロリストファイル (*.mlf)|*.mlf";
    EXPECT_EQ(FileChooserFilter(open.Filters()),
              "選択可能なファイル (*.{mcr,mlf})\tマクロファイル (*.mcr)\t"
              "マクロリストファイル (*.mlf)");

    TSaveDialog save;
    save.Filter = "ﾏｸﾛﾌｧｲﾙ(*.mcr)|*.mcr";
    EXPECT_EQ(FileChooserFilter(save.Filters()), "ﾏｸﾛﾌｧｲﾙ (*.mcr)");
}

TEST(FileChooserFilterTest, KeepsTheChooserFromMisreadingTheName) {
    // The chooser takes the pattern from the first "(", and draws "&" as a mark.
    std::vector<TFileFilter> filters = {
        {"Macros", "*.mcr"}, {"Mine (old) & new (*.mcr)", "*.mcr"}, {"", "*.mlf"}};
    EXPECT_EQ(FileChooserFilter(filters), "Macros (*.mcr)\tMine  old) && new (*.mcr)\t(*.mlf)");
}

TEST(MenuLabelTest, ShowsItemTextsLiterally) {
    const TextCase cases[] = {
        {"100 %", "100 %"},          {"160 % ", "160 % "}, {"通常", "通常"},
        {"a/b\\c_d", "a/b\\c_d"},    {"A&B", "A&&B"},      {"&&", "&&&&"},
        {"mail@host", "mail@@host"},
    };
    for (const TextCase& c : cases) {
        EXPECT_EQ(MenuLabel(c.input), c.expected) << c.input;
    }
}

TEST(LiteralLabelTest, KeepsAcceleratorMarksAndDoublesSymbolMarks) {
    EXPECT_EQ(LiteralLabel("キャンセル(&C)"), "キャンセル(&C)");
    EXPECT_EQ(LiteralLabel("@-> x@"), "@@-> x@@");
}

TEST(FontSizeForHeightTest, ReadsCharacterAndCellHeights) {
    EXPECT_EQ(FontSizeForHeight(-12), 12);
    EXPECT_EQ(FontSizeForHeight(0, 14), 14);
    EXPECT_EQ(FontSizeForHeight(16), 12);
}

}  // namespace
