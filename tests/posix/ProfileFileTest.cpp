#include "settings/ProfileFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "FailingReads.h"
#include "ScratchDirectory.h"
#include "settings/ProfileText.h"

namespace {

class ProfileFileTest : public ::testing::Test {
  protected:
    std::string Read(const std::string& section, const std::string& key) {
        return ReadProfileString(section, key, "default", path_);
    }

    ScratchDirectory scratch_;
    std::string path_ = scratch_.File("settings.ini");
};

TEST_F(ProfileFileTest, NewFileHoldsExactlyTheSectionAndKeysWritten) {
    EXPECT_EQ(Read("WINDOW", "POS.X"), "default");
    ASSERT_TRUE(WriteProfileString("WINDOW", "POS.X", "357", path_));
    ASSERT_TRUE(WriteProfileString("WINDOW", "POS.Y", "162", path_));
    EXPECT_EQ(ReadBytes(path_), "[WINDOW]\r\nPOS.X=357\r\nPOS.Y=162\r\n");
    EXPECT_EQ(Read("WINDOW", "POS.X"), "357");
    EXPECT_EQ(Read("WINDOW", "POS.Z"), "default");
    EXPECT_EQ(Read("OTHER", "POS.X"), "default");
}

TEST_F(ProfileFileTest, WriteKeepsEveryOtherByte) {
    WriteBytes(path_,
               "; settings\n"
               "[Other]\r\n"
               "POS.X=1\r\n"
               "\r\n"
               "[Window]\n"
               "pos.x = 5 \n"
               "Size=3\n"
               "stray line\n"
               "\n"
               "[Last]\r\n"
               "k=v");
    ASSERT_TRUE(WriteProfileString("WINDOW", "POS.X", "-4", path_));
    ASSERT_TRUE(WriteProfileString("WINDOW", "POS.Y", "162", path_));
    ASSERT_TRUE(WriteProfileString("Last", "k2", "w", path_));
    ASSERT_TRUE(WriteProfileString("New", "a", "b", path_));
    EXPECT_EQ(ReadBytes(path_),
              "; settings\n"
              "[Other]\r\n"
              "POS.X=1\r\n"
              "\r\n"
              "[Window]\n"
              "pos.x=-4\r\n"
              "Size=3\n"
              "POS.Y=162\r\n"
              "stray line\n"
              "\n"
              "[Last]\r\n"
              "k=v\r\n"
              "k2=w\r\n"
              "[New]\r\n"
              "a=b\r\n");
}

TEST_F(ProfileFileTest, MatchesNamesIgnoringCaseAndBlanks) {
    WriteBytes(path_, "[ window ]\nk=first\n Pos.X \t= \t 12 34\t \nPOS.X=second\n[WINDOW]\nz=1\n");
    EXPECT_EQ(Read("WINDOW", "POS.X"), "12 34");
    EXPECT_EQ(Read("Window", "pos.x"), "12 34");
    EXPECT_EQ(Read("WINDOW", "K"), "first");
    // Only the first section of a name counts.
    EXPECT_EQ(Read("WINDOW", "z"), "default");
}

TEST_F(ProfileFileTest, IgnoresCommentsAndKeysOutsideSections) {
    WriteBytes(path_, "top=1\n[S]\n;k=2\nnoequals\n");
    EXPECT_EQ(Read("S", "top"), "default");
    EXPECT_EQ(Read("S", ";k"), "default");
    EXPECT_EQ(Read("S", "noequals"), "default");
    ASSERT_TRUE(WriteProfileString("S", "k", "3", path_));
    EXPECT_EQ(ReadBytes(path_), "top=1\n[S]\nk=3\r\n;k=2\nnoequals\n");
}

TEST_F(ProfileFileTest, CutsLongValuesAt2047Bytes) {
    const std::string value(3000, '7');
    ASSERT_TRUE(WriteProfileString("S", "k", value, path_));
    EXPECT_EQ(Read("S", "k"), value.substr(0, 2047));
    EXPECT_EQ(FindProfileValue(ReadBytes(path_), "S", "k"), value);
}

TEST_F(ProfileFileTest, ReportsAFileThatCannotBeWritten) {
    const std::string missingDirectory = scratch_.File("missing/settings.ini");
    EXPECT_FALSE(WriteProfileString("S", "k", "1", missingDirectory));
    EXPECT_EQ(ReadProfileString("S", "k", "d", missingDirectory), "d");
    // A directory in the file's place is neither read nor replaced.
    EXPECT_FALSE(WriteProfileString("S", "k", "1", scratch_.File("")));
}

TEST_F(ProfileFileTest, AFileThatCannotBeReadWholeIsNeitherReadNorReplaced) {
    // A pipe must not hang start-up, a device must not be read without end.
    ASSERT_EQ(mkfifo(path_.c_str(), 0600), 0);
    EXPECT_EQ(Read("WINDOW", "POS.X"), "default");
    EXPECT_FALSE(WriteProfileString("WINDOW", "POS.X", "1", path_));
    EXPECT_TRUE(std::filesystem::is_fifo(path_));
    EXPECT_EQ(ReadProfileString("S", "k", "d", "/dev/zero"), "d");

    const std::string other = scratch_.File("other.ini");
    const std::string text = "[WINDOW]\r\nPOS.X=5\r\n[Keep]\r\n" + std::string(8000, ';') + "\r\n";
    WriteBytes(other, text);
    {
        FailingReads failing(other, 4096);
        EXPECT_EQ(ReadProfileString("WINDOW", "POS.X", "d", other), "d");
        EXPECT_FALSE(WriteProfileString("WINDOW", "POS.Y", "1", other));
    }
    EXPECT_EQ(ReadBytes(other), text);

    const std::string huge = "[S]\r\nk=1\r\n" + std::string(kMaxProfileFileBytes, ';');
    WriteBytes(other, huge);
    EXPECT_EQ(ReadProfileString("S", "k", "d", other), "d");
    EXPECT_FALSE(WriteProfileString("S", "k", "2", other));
    EXPECT_EQ(ReadBytes(other).size(), huge.size());
}

TEST(ProfileTextTest, EmptyValuesAndEmptyTexts) {
    EXPECT_EQ(FindProfileValue("[S]\r\nk=\r\n", "S", "k"), "");
    EXPECT_EQ(FindProfileValue("", "S", "k"), std::nullopt);
    EXPECT_EQ(SetProfileValue("", "S", "k", ""), "[S]\r\nk=\r\n");
    EXPECT_EQ(SetProfileValue("[S]", "s", "k", "1"), "[S]\r\nk=1\r\n");
    EXPECT_EQ(SetProfileValue("x", "S", "k", "1"), "x\r\n[S]\r\nk=1\r\n");
}

// Found by fuzzing: a last line ending in a lone CR was closed with CR LF, so its CR joined
// the line and the section (or the key before) no longer read.
TEST(ProfileTextTest, AddingAfterALastLineThatEndsInALoneCrKeepsItReadable) {
    const std::string fuzzed = "[ wIPOS\n[ wIndow \r";
    const std::string written = SetProfileValue(fuzzed, "WINDOW", "POS.X", "1");
    EXPECT_EQ(written, fuzzed + "\nPOS.X=1\r\n");
    EXPECT_EQ(FindProfileValue(written, "WINDOW", "POS.X"), "1");

    const std::string keys = SetProfileValue("[WINDOW]\r\nPOS.Y=2\r", "WINDOW", "POS.X", "1");
    EXPECT_EQ(FindProfileValue(keys, "WINDOW", "POS.Y"), "2");
    EXPECT_EQ(FindProfileValue(keys, "WINDOW", "POS.X"), "1");
}

}  // namespace
