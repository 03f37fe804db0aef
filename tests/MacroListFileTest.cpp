// Macro list files: the line rules, the byte layout and the failures.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "ErrorOf.h"
#include "FileFixture.h"
#include "toolkit/Exception.h"
#include "ui/MacroListFile.h"

namespace {

using Entries = PlaylistEntries;

TEST(PlaylistText, LineEndsAndCutsAllGiveTheSameEntries) {
    using namespace std::string_literals;
    const std::pair<std::string, Entries> cases[] = {
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\nb\n", {"a", "b"}},
        {"a\rb\r", {"a", "b"}},
        {"a\r\nb", {"a", "b"}},
        {"a\n\rb", {"a", "", "b"}},
        {"a\r\n\r\nb", {"a", "", "b"}},
        {"a\r\nb\0c\r\nd"s, {"a", "b"}},
        {"\0a"s, {}},
        {"", {}},
        {"\r\n", {""}},
        {"  C:\\My Macros\\x.mcr \t\r\n", {"  C:\\My Macros\\x.mcr \t"}},
        {"\x95\x5c\x8e\x9a.mcr\n", {"\x95\x5c\x8e\x9a.mcr"}},
    };
    for (const auto& [bytes, entries] : cases) {
        EXPECT_EQ(ParsePlaylistText(bytes), entries) << testing::PrintToString(bytes);
    }
}

TEST(PlaylistText, SavingWritesCrLfAfterEveryEntry) {
    const Entries two = {"C:\\Macros\\login.mcr", "C:\\Macros\\report.mcr"};
    EXPECT_EQ(PlaylistText(two), "C:\\Macros\\login.mcr\r\nC:\\Macros\\report.mcr\r\n");
    EXPECT_EQ(PlaylistText(two).size(), 43u);
    EXPECT_EQ(PlaylistText({}), "");
    EXPECT_EQ(PlaylistText({"", " b "}), "\r\n b \r\n");
}

using PlaylistFileTest = FileTest;

TEST_F(PlaylistFileTest, LoadReplacesAndSaveNormalisesLineEnds) {
    std::ofstream(PathOf("in.mlf"), std::ios::binary) << "x.mcr\ny.mcr\rz.mcr";
    Entries entries = {"old1", "old2", "old3", "old4"};
    LoadPlaylist(entries, PathOf("in.mlf"));
    EXPECT_EQ(entries, (Entries{"x.mcr", "y.mcr", "z.mcr"}));
    std::ofstream(PathOf("out.mlf"), std::ios::binary) << std::string(200, 'o');
    SavePlaylist(entries, PathOf("out.mlf"));
    EXPECT_EQ(Bytes(PathOf("out.mlf")), "x.mcr\r\ny.mcr\r\nz.mcr\r\n");
    SavePlaylist({}, PathOf("out.mlf"));
    EXPECT_EQ(Bytes(PathOf("out.mlf")), "");
    LoadPlaylist(entries, PathOf("out.mlf"));
    EXPECT_TRUE(entries.empty());
}

TEST_F(PlaylistFileTest, FailuresLeaveThePlaylistAsItWas) {
    Entries entries = {"keep"};
    const std::string missing = PathOf("missing.mlf");
    EXPECT_EQ(ErrorOf([&] { LoadPlaylist(entries, missing); }),
              "ファイル " + missing + " は開けません");
    std::ofstream(PathOf("long.mlf"), std::ios::binary) << "a\r\n" << std::string(4096, 'x');
    EXPECT_EQ(ErrorOf([&] { LoadPlaylist(entries, PathOf("long.mlf")); }), "行を挿入できません");
    EXPECT_EQ(entries, (Entries{"keep"}));
    const std::string nowhere = PathOf("no/dir/list.mlf");
    EXPECT_EQ(ErrorOf([&] { SavePlaylist(entries, nowhere); }),
              "ファイル " + nowhere + " を作成できません");
}

TEST(PlaylistEntryAccess, IndexOutsideTheListNamesTheIndex) {
    const Entries entries = {"a", "b"};
    EXPECT_EQ(PlaylistEntry(entries, 1), "b");
    for (int index : {2, -1, 7}) {
        EXPECT_EQ(ErrorOf([&] { PlaylistEntry(entries, index); }),
                  "リストのインデックスが範囲を超えています (" + std::to_string(index) + ")");
    }
}

}  // namespace
