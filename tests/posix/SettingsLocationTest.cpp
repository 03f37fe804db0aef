#include "platform/posix/SettingsLocation.h"

#include <gtest/gtest.h>

// An installed program keeps its settings in the user's configuration directory, also when
// root, who may write beside it, runs it; so does a copy in a folder the user may not write.
TEST(SettingsLocationTest, BesideTheExecutableWhenWritableElseInTheUsersConfiguration) {
    EXPECT_EQ(SettingsDirectoryFor("/opt/tw/", true, "/x", "/home/u"), "/opt/tw/");
    EXPECT_EQ(SettingsDirectoryFor("/usr/bin/", false, "/x/cfg", "/home/u"), "/x/cfg/tapewright/");
    EXPECT_EQ(SettingsDirectoryFor("/usr/bin/", false, "", "/home/u"),
              "/home/u/.config/tapewright/");
    EXPECT_EQ(SettingsDirectoryFor("/usr/bin/", false, nullptr, "/home/u"),
              "/home/u/.config/tapewright/");
}

TEST(SettingsLocationTest, TheSystemsProgramFoldersAreInstalledOnes) {
    EXPECT_TRUE(IsInstalledDirectory("/usr/bin/"));
    EXPECT_TRUE(IsInstalledDirectory("/usr/local/bin/"));
    EXPECT_FALSE(IsInstalledDirectory("/usr/bin/tools/"));
    EXPECT_FALSE(IsInstalledDirectory("/home/u/tapewright/"));
}
