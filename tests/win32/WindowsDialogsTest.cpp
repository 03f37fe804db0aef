// What the Windows program hands the system's file dialogs and where it finds its help page.
#include <gtest/gtest.h>

#include <string>

#include "platform/win32/Win32FileDialog.h"
#include "platform/win32/Win32Help.h"
#include "toolkit/Dialogs.h"

namespace {

// Both kinds of dialog get the default extension, which the system adds to a typed name
// without one, and the filter reaches it as NUL-separated pairs ending in two NULs.
TEST(WindowsFileDialog, RequestFollowsTheToolkitDialog) {
    TOpenDialog open;
    open.Filter = "a (*.mcr)|*.mcr|b (*.mlf)|*.mlf";
    open.DefaultExt = "mcr";
    open.Options = ofHideReadOnly | ofPathMustExist | ofFileMustExist;
    const char filter[] = "a (*.mcr)\0*.mcr\0b (*.mlf)\0*.mlf\0";  // and the literal's NUL
    EXPECT_EQ(FilterBuffer(open.Filters()), std::string(filter, sizeof filter));
    ASSERT_NE(SystemDefaultExt(open), nullptr);
    EXPECT_STREQ(SystemDefaultExt(open), "mcr");
    EXPECT_EQ(FileDialogFlags(open.Options),
              DWORD{OFN_EXPLORER | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST});

    TSaveDialog save;
    save.DefaultExt = "mlf";
    save.Options = ofHideReadOnly | ofEnableSizing;
    ASSERT_NE(SystemDefaultExt(save), nullptr);
    EXPECT_STREQ(SystemDefaultExt(save), "mlf");
    EXPECT_EQ(FileDialogFlags(save.Options) & OFN_OVERWRITEPROMPT, 0u);
    save.DefaultExt.clear();
    EXPECT_EQ(SystemDefaultExt(save), nullptr);
}

// The page beside the program. "表" is 95 5C in code page 932: its trail byte is no
// separator, in the program's name or in the help file's.
TEST(WindowsHelp, PageLiesBesideTheProgram) {
    const std::string program = "C:\\Tools\\TAPEWRT.EXE";
    const PathRules& rules = kWindowsPathRules;
    EXPECT_EQ(HelpPagePath("TAPEWRT.HLP", program, rules), "C:\\Tools\\TAPEWRT.HTM");
    EXPECT_EQ(HelpPagePath("TAPEWRT.HLP", "C:\\Tools\\\x95\x5C.EXE", rules),
              "C:\\Tools\\TAPEWRT.HTM");
    EXPECT_EQ(HelpPagePath("\x95\x5C.HLP", program, rules), "C:\\Tools\\\x95\x5C.HTM");
    EXPECT_EQ(HelpPagePath("D:\\doc\\MY.HLP", program, rules), "D:\\doc\\MY.HTM");
    EXPECT_EQ(HelpPagePath("", program, rules), "");
}

}  // namespace
