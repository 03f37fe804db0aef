// Macro list files on POSIX: pipes and read errors.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "ErrorOf.h"
#include "FailingReads.h"
#include "FileFixture.h"
#include "MachineMemory.h"
#include "ui/MacroListFile.h"

namespace {

using PlaylistPosixFileTest = FileTest;

TEST_F(PlaylistPosixFileTest, PipesAndReadErrorsLeaveThePlaylistAsItWas) {
    PlaylistEntries entries = {"keep"};
    const std::string pipe = scratch.File("pipe.mlf");
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    EXPECT_EQ(ErrorOf([&] { LoadPlaylist(entries, pipe); }), "ファイル " + pipe + " は開けません");
    std::string lines;
    for (int i = 0; i < 5000; ++i) lines += "C:\\m\\x.mcr\r\n";
    const std::string bad = scratch.File("bad.mlf");
    std::ofstream(bad, std::ios::binary) << lines;
    {
        FailingReads failing(bad, 20'000);
        EXPECT_EQ(ErrorOf([&] { LoadPlaylist(entries, bad); }), "ストリームからの読み込みエラー");
    }
    EXPECT_EQ(entries, (PlaylistEntries{"keep"}));
}

// Sparse files larger than the memory left: the text ends at the first zero byte and is all
// that is read; a text that does not fit fails before any of it is taken.
TEST_F(PlaylistPosixFileTest, HugeFilesAreReadOnlyToTheirFirstZeroByte) {
    using Entries = PlaylistEntries;
    const uintmax_t huge = MoreThanTheMachineHolds();
    std::ofstream(PathOf("sparse.mlf"), std::ios::binary) << "a.mcr\r\nb.mcr\r\n";
    std::filesystem::resize_file(PathOf("sparse.mlf"), huge);
    Entries entries = {"keep"};
    LoadPlaylist(entries, PathOf("sparse.mlf"));
    EXPECT_EQ(entries, (Entries{"a.mcr", "b.mcr"}));

    std::string lines;
    while (lines.size() < 20'000) lines += "x.mcr\r\n";
    std::ofstream(PathOf("text.mlf"), std::ios::binary) << lines;
    std::filesystem::resize_file(PathOf("text.mlf"), huge);
    EXPECT_EQ(ErrorOf([&] { LoadPlaylist(entries, PathOf("text.mlf")); }),
              "メモリストリームの拡大中にメモリが足りなくなりました");
    EXPECT_EQ(entries, (Entries{"a.mcr", "b.mcr"}));
}

}  // namespace
