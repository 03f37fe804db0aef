// Macro files and the stream under them: byte layout, round trips, failures that must not
// lose the macro in memory or the file on disk.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>

#include "ErrorOf.h"
#include "FailingReads.h"
#include "OrdinaryUser.h"
#include "ScratchDirectory.h"
#include "engine/MacroFile.h"
#include "engine/MacroStream.h"
#include "platform/posix/MemoryInfo.h"
#include "toolkit/Exception.h"
#include "toolkit/Memory.h"

namespace {

namespace fs = std::filesystem;

class MacroFileTest : public ::testing::Test {
  protected:
    std::string PathOf(const std::string& name) const { return scratch.File(name); }
    static std::string Bytes(const std::string& path) { return ReadBytes(path); }
    static void Put(const std::string& path, const std::string& bytes) { WriteBytes(path, bytes); }
    static std::string Contents(const MacroStream& stream) {
        return std::string(reinterpret_cast<const char*>(stream.Data()), stream.Size());
    }
    std::size_t FilesInDirectory() const {
        fs::path dir = fs::path(PathOf("x")).parent_path();
        return static_cast<std::size_t>(
            std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
    }

    ScratchDirectory scratch;
    std::string dirPath = fs::path(scratch.File("x")).parent_path().string();
};

TEST(EventRecord, FieldsAreLittleEndianAtFixedOffsets) {
    uint8_t bytes[kEventMsgSize];
    EncodeEvent(EVENTMSG{0x0100, 0x1E41, 0xAABBCCDD, 1000, 0x00010203}, bytes);
    const uint8_t expected[kEventMsgSize] = {0x00, 0x01, 0,    0,    0x41, 0x1E, 0,
                                             0,    0xDD, 0xCC, 0xBB, 0xAA, 0xE8, 0x03,
                                             0,    0,    0x03, 0x02, 0x01, 0x00};
    EXPECT_TRUE(std::equal(bytes, bytes + kEventMsgSize, expected));
    EXPECT_EQ(DecodeEvent(bytes).paramH, 0xAABBCCDDu);
}

TEST(MacroStreamRules, PartialReadsKeepTheRestAndMemoryIsReservedInBlocks) {
    MacroStream stream;
    const uint8_t bytes[30] = {1, 2, 3};
    stream.Write(bytes, 30);
    EXPECT_EQ(stream.Capacity(), MacroStream::kBlockSize);
    stream.Seek(20, SeekOrigin::Begin);
    EVENTMSG event{0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF};
    EXPECT_EQ(stream.ReadEvent(event), 10u);
    EXPECT_EQ(event.paramH, 0xFFFF0000u);  // bytes 28..29 read, 30..31 kept
    EXPECT_EQ(event.time, 0xFFFFFFFFu);
    EXPECT_EQ(stream.ReadEvent(event), 0u);
    EXPECT_EQ(stream.Position(), 30u);

    for (std::size_t size : {8192u, 8193u, 20000u, 1u << 20}) {
        stream.Clear();
        stream.Resize(size);
        std::size_t blocks = (size + 8191) / 8192;
        EXPECT_EQ(stream.Capacity(), blocks * 8192) << size;
    }
    stream.Clear();
    EXPECT_EQ(stream.Capacity(), 0u);
    EXPECT_EQ(stream.Position(), 0u);
}

TEST_F(MacroFileTest, RoundTripIsByteIdenticalForAnyLength) {
    for (std::size_t length : {0u, 20u, 30u, 41u, 8192u * 3 + 7}) {
        std::string bytes(length, '\0');
        for (std::size_t i = 0; i < length; ++i) bytes[i] = static_cast<char>(i * 7 + 3);
        Put(PathOf("in.mcr"), bytes);
        MacroStream stream;
        LoadMacroFile(stream, PathOf("in.mcr"));
        EXPECT_EQ(stream.Size(), length);
        EXPECT_EQ(stream.Position(), length);
        stream.Seek(0, SeekOrigin::Begin);
        SaveMacroFile(stream, PathOf("out.mcr"));
        EXPECT_EQ(stream.Position(), length);
        EXPECT_EQ(Bytes(PathOf("out.mcr")), bytes) << length;
        EXPECT_EQ(Contents(stream), bytes);
    }
}

TEST_F(MacroFileTest, LoadReplacesAndAFailedLoadKeepsThePreviousMacro) {
    Put(PathOf("long.mcr"), std::string(100, 'L'));
    Put(PathOf("short.mcr"), std::string(20, 'S'));
    MacroStream stream;
    LoadMacroFile(stream, PathOf("long.mcr"));
    LoadMacroFile(stream, PathOf("short.mcr"));
    EXPECT_EQ(Contents(stream), std::string(20, 'S'));

    const std::string missing = PathOf("missing.mcr");
    EXPECT_EQ(ErrorOf([&] { LoadMacroFile(stream, missing); }),
              "ファイル " + missing + " は開けません");
    EXPECT_EQ(ErrorOf([&] { LoadMacroFile(stream, dirPath); }),
              "ファイル " + dirPath + " は開けません");
    EXPECT_EQ(Contents(stream), std::string(20, 'S'));
    EXPECT_EQ(stream.Position(), 20u);
}

TEST_F(MacroFileTest, LoadThatRunsOutOfMemoryKeepsThePreviousMacro) {
    Put(PathOf("big.mcr"), std::string(9000, 'B'));
    Put(PathOf("small.mcr"), std::string(40, 's'));
    MacroStream stream;
    stream.SetMemoryLimit(MacroStream::kBlockSize);
    LoadMacroFile(stream, PathOf("small.mcr"));
    EXPECT_EQ(ErrorOf([&] { LoadMacroFile(stream, PathOf("big.mcr")); }),
              "メモリストリームの拡大中にメモリが足りなくなりました");
    EXPECT_EQ(Contents(stream), std::string(40, 's'));
}

// A sparse file larger than the memory left must fail before the stream takes any of it.
TEST_F(MacroFileTest, FileLargerThanTheAvailableMemoryFailsAndKeepsThePreviousMacro) {
    Put(PathOf("huge.mcr"), "");
    fs::resize_file(PathOf("huge.mcr"), AvailableMemory() + MacroStream::kBlockSize);
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

TEST_F(MacroFileTest, SaveReplacesWholeFilesAndEmptyStreamsGiveEmptyFiles) {
    Put(PathOf("target.mcr"), std::string(500, 'x'));
    MacroStream stream;
    SaveMacroFile(stream, PathOf("target.mcr"));
    EXPECT_EQ(Bytes(PathOf("target.mcr")), "");
    stream.Write("abcdefghijklmnopqrst", 20);
    SaveMacroFile(stream, PathOf("target.mcr"));
    EXPECT_EQ(Bytes(PathOf("target.mcr")), "abcdefghijklmnopqrst");
    EXPECT_EQ(FilesInDirectory(), 1u);
}

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
               !fs::exists(folder + "/new.mcr") &&
               std::distance(fs::directory_iterator(folder), fs::directory_iterator()) == 1;
    });
}

TEST_F(MacroFileTest, ReplacingALongNameKeepsItsOwnerGroupAndMode) {
    const std::string target = PathOf(std::string(250, 'n') + ".mcr");
    Put(target, "old");
    if (geteuid() == 0) {  // root gives the file away first
        ASSERT_EQ(chown(target.c_str(), kNobody, kNobody), 0);
    }
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

}  // namespace
