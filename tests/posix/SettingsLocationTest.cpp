#include "platform/posix/SettingsLocation.h"

#include <gtest/gtest.h>

// An installed program cannot write beside its executable: its settings go to the user's
// configuration directory instead.
TEST(SettingsLocationTest, BesideTheExecutableWhenWritableElseInTheUsersConfiguration) {
    EXPECT_EQ(SettingsDirectoryFor("/opt/tw/", true, "/x", "/home/u"), "/opt/tw/");
    EXPECT_EQ(SettingsDirectoryFor("/usr/bin/", false, "/x/cfg", "/home/u"), "/x/cfg/tapewright/");
    EXPECT_EQ(SettingsDirectoryFor("/usr/bin/", false, "", "/home/u"),
              "/home/u/.config/tapewright/");
    EXPECT_EQ(SettingsDirectoryFor("/usr/bin/", false, nullptr, "/home/u"),
              "/home/u/.config/tapewright/");
}
