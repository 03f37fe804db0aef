// Macro list files on POSIX: pipes and read errors.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

#include "ErrorOf.h"
#include "FailingReads.h"
#include "ScratchDirectory.h"
#include "ui/MacroListFile.h"

namespace {

TEST(PlaylistPosixFileTest, PipesAndReadErrorsLeaveThePlaylistAsItWas) {
    ScratchDirectory scratch;
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

}  // namespace
