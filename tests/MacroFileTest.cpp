// Macro files and the stream under them: byte layout, round trips, failures that must not
// lose the macro in memory or the file on disk.
#include <gtest/gtest.h>

#include <filesystem>

#include "ErrorOf.h"
#include "FileFixture.h"
#include "engine/MacroFile.h"
#include "engine/MacroStream.h"
#include "toolkit/Exception.h"

namespace {

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

}  // namespace
