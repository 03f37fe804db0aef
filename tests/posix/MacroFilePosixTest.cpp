// Macro files on POSIX: modes, owners, pipes, devices, read errors and file size limits.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <vector>

#include "ErrorOf.h"
#include "FailingReads.h"
#include "FileFixture.h"
#include "MachineMemory.h"
#include "OrdinaryUser.h"
#include "engine/MacroFile.h"
#include "engine/MacroStream.h"
#include "platform/posix/MemoryInfo.h"
#include "toolkit/Exception.h"

namespace {

namespace fs = std::filesystem;

TEST_F(MacroFileTest, NewFilesAreOwnerOnlyAndReplacedFilesKeepTheirMode) {
    MacroStream stream;
    stream.Write("12345678901234567890", 20);
    SaveMacroFile(stream, PathOf("new.mcr"));
    EXPECT_EQ(fs::status(PathOf("new.mcr")).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
    Put(PathOf("shared.mcr"), "old");
    fs::permissions(PathOf("shared.mcr"), fs::perms(0644));
    SaveMacroFile(stream, PathOf("shared.mcr"));
    EXPECT_EQ(fs::status(PathOf("shared.mcr")).permissions() & fs::perms::all, fs::perms(0644));
}

TEST_F(MacroFileTest, SaveThatCannotCreateChangesNothing) {
    MacroStream stream;
    stream.Write(std::string(40, 'm').data(), 40);
    stream.Seek(20, SeekOrigin::Begin);
    const std::string readOnly = PathOf("read-only.mcr");
    Put(readOnly, "old");
    // No write bit at all makes a file read-only for root too.
    fs::permissions(readOnly, fs::perms(0444));
    ASSERT_EQ(mkfifo(PathOf("pipe.mcr").c_str(), 0600), 0);
    for (const std::string& path :
         {PathOf("no/such/dir/a.mcr"), dirPath, readOnly, PathOf("pipe.mcr")}) {
        EXPECT_EQ(ErrorOf([&] { SaveMacroFile(stream, path); }),
                  "ファイル " + path + " を作成できません");
        EXPECT_EQ(stream.Position(), 20u) << path;
    }
    EXPECT_EQ(Bytes(readOnly), "old");
    EXPECT_TRUE(fs::is_fifo(PathOf("pipe.mcr")));
    EXPECT_EQ(FilesInDirectory(), 2u);
}

TEST_F(MacroFileTest, WritableFileInAReadOnlyFolderIsWrittenInPlace) {
    const std::string folder = PathOf("locked");
    fs::create_directory(folder);
    Put(folder + "/in.mcr", std::string(100, 'o'));
    fs::permissions(folder + "/in.mcr", fs::perms(0644));
    ExpectAsOrdinaryUser(dirPath, [&] {
        fs::permissions(folder, fs::perms(0555));
        MacroStream stream;
        stream.Write("12345678901234567890", 20);
        bool saved = ErrorOf([&] { SaveMacroFile(stream, folder + "/in.mcr"); }).empty();
        bool refused = !ErrorOf([&] { SaveMacroFile(stream, folder + "/new.mcr"); }).empty();
        fs::permissions(folder, fs::perms(0755));
        return saved && refused && Bytes(folder + "/in.mcr") == "12345678901234567890" &&
               !fs::exists(folder + "/new.mcr") && EntriesIn(folder) == 1;
    });
}

// Gives the file an owner or group that a new file would not get: root gives it to another
// user, anyone else to one of their supplementary groups. False when neither is possible.
bool GiveAway(const std::string& path) {
    if (geteuid() == 0) return chown(path.c_str(), kNobody, kNobody) == 0;
    std::vector<gid_t> groups(static_cast<std::size_t>(std::max(getgroups(0, nullptr), 0)));
    const int count = getgroups(static_cast<int>(groups.size()), groups.data());
    for (int i = 0; i < count; ++i) {
        if (groups[i] != getegid())
            return chown(path.c_str(), static_cast<uid_t>(-1), groups[i]) == 0;
    }
    return false;
}

TEST_F(MacroFileTest, ReplacingALongNameKeepsItsOwnerGroupAndMode) {
    const std::string target = PathOf(std::string(250, 'n') + ".mcr");
    Put(target, "old");
    const bool givenAway = GiveAway(target);
    fs::permissions(target, fs::perms(0640));
    struct stat before {};
    ASSERT_EQ(stat(target.c_str(), &before), 0);
    MacroStream stream;
    stream.Write("abcdefghijklmnopqrst", 20);
    SaveMacroFile(stream, target);
    struct stat after {};
    ASSERT_EQ(stat(target.c_str(), &after), 0);
    EXPECT_EQ(Bytes(target), "abcdefghijklmnopqrst");
    EXPECT_EQ(after.st_uid, before.st_uid);
    EXPECT_EQ(after.st_gid, before.st_gid);
    EXPECT_EQ(after.st_mode & 07777, 0640u);
    EXPECT_EQ(FilesInDirectory(), 1u);
    if (!givenAway) {
        GTEST_SKIP() << "owner and group unchecked: this user has no other group to give the "
                        "file to, so a new file would have the same owner and group";
    }
}

TEST_F(MacroFileTest, OnlyRegularFilesOpenAndReadErrorsAreErrors) {
    MacroStream stream;
    stream.Write("keep", 4);
    ASSERT_EQ(mkfifo(PathOf("pipe.mcr").c_str(), 0600), 0);
    // A pipe must not wait for a writer; devices and pseudo files are no macros.
    for (const std::string& path :
         {PathOf("pipe.mcr"), std::string("/dev/zero"), std::string("/proc/self/status")}) {
        EXPECT_EQ(ErrorOf([&] { LoadMacroFile(stream, path); }),
                  "ファイル " + path + " は開けません");
    }
    Put(PathOf("bad.mcr"), std::string(100, 'b'));
    {
        FailingReads failing(PathOf("bad.mcr"), 40);
        EXPECT_EQ(ErrorOf([&] { LoadMacroFile(stream, PathOf("bad.mcr")); }),
                  "ストリームからの読み込みエラー");
    }
    EXPECT_EQ(Contents(stream), "keep");
}

// Makes every write past `bytes` fail, as a full disk does, for the life of the object.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{bytes, saved_.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previousHandler_);
    }

  private:
    rlimit saved_{};
    void (*previousHandler_)(int) = nullptr;
};

TEST_F(MacroFileTest, SaveThatWritesShortLeavesThePreviousFileIntact) {
    const std::string previous(4000, 'p');
    Put(PathOf("keep.mcr"), previous);
    MacroStream stream;
    std::string big(64 * 1024, 'n');
    stream.Write(big.data(), big.size());
    std::string error;
    {
        FileSizeLimit limit(16 * 1024);
        error = ErrorOf([&] { SaveMacroFile(stream, PathOf("keep.mcr")); });
    }
    EXPECT_EQ(error, "ストリームへの書き込みエラー");
    EXPECT_EQ(Bytes(PathOf("keep.mcr")), previous);
    EXPECT_EQ(FilesInDirectory(), 1u);
    EXPECT_EQ(stream.Size(), big.size());
}

// In place, a save that does not fit must fail before any old byte changes: under a file
// size limit, and on a full file system where the test may mount a small one.
TEST_F(MacroFileTest, InPlaceSaveThatDoesNotFitKeepsTheOldBytes) {
    const std::string limited = PathOf("limited");
    const std::string full = PathOf("full");
    fs::create_directory(limited);
    fs::create_directory(full);
    const bool mounted = mount("tapewright", full.c_str(), "tmpfs", 0, "size=64k") == 0;
    const std::string old(4000, 'o');
    for (const std::string& folder : {limited, full}) {
        Put(folder + "/in.mcr", old);
        fs::permissions(folder + "/in.mcr", fs::perms(0644));
    }
    if (mounted) std::ofstream(full + "/filler") << std::string(64 * 1024, 'f');
    ExpectAsOrdinaryUser(dirPath, [&] {
        MacroStream stream;
        std::string big(64 * 1024, 'n');
        stream.Write(big.data(), big.size());
        auto keepsOld = [&](const std::string& folder, rlim_t limit) {
            fs::permissions(folder, fs::perms(0555));
            std::string error;
            {
                FileSizeLimit sizeLimit(limit);
                error = ErrorOf([&] { SaveMacroFile(stream, folder + "/in.mcr"); });
            }
            return error == "ストリームへの書き込みエラー" && Bytes(folder + "/in.mcr") == old;
        };
        return keepsOld(limited, 16 * 1024) && (!mounted || keepsOld(full, RLIM_INFINITY));
    });
    if (mounted) umount(full.c_str());
}

// A sparse file larger than the memory left must fail before the stream takes any of it.
TEST_F(MacroFileTest, FileLargerThanTheAvailableMemoryFailsAndKeepsThePreviousMacro) {
    Put(PathOf("huge.mcr"), "");
    fs::resize_file(PathOf("huge.mcr"), MoreThanTheMachineHolds());
    Put(PathOf("small.mcr"), std::string(40, 's'));
    MacroStream stream;
    LoadMacroFile(stream, PathOf("small.mcr"));
    EXPECT_EQ(ErrorOf([&] { LoadMacroFile(stream, PathOf("huge.mcr")); }),
              "メモリストリームの拡大中にメモリが足りなくなりました");
    EXPECT_EQ(Contents(stream), std::string(40, 's'));
}

TEST(AvailableMemoryFigures, FreeMemoryAndSwapWithinTheControlGroup) {
    const char meminfo[] =
        "MemTotal:       24683716 kB\nMemFree:         1000 kB\n"
        "MemAvailable:       2000 kB\nSwapTotal:  9000 kB\nSwapFree:         500 kB\n";
    EXPECT_EQ(AvailableMemoryOf(meminfo, "", ""), 2500u * 1024);
    EXPECT_EQ(AvailableMemoryOf(meminfo, "max\n", "100\n"), 2500u * 1024);
    EXPECT_EQ(AvailableMemoryOf(meminfo, "1000000\n", "400000\n"), 600000u);
    EXPECT_EQ(AvailableMemoryOf(meminfo, "1000\n", "4000\n"), 0u);
    EXPECT_EQ(AvailableMemoryOf("MemTotal: 1 kB\n", "", ""), UINT64_MAX);
}

}  // namespace
