#pragma once
// The fixtures of the file tests: a scratch folder and byte-level helpers.
#include <gtest/gtest.h>

#include <string>

#include "ScratchDirectory.h"
#include "engine/MacroStream.h"

class FileTest : public ::testing::Test {
  protected:
    std::string PathOf(const std::string& name) const { return scratch.File(name); }
    static std::string Bytes(const std::string& path) { return ReadBytes(path); }
    static void Put(const std::string& path, const std::string& bytes) { WriteBytes(path, bytes); }
    std::size_t FilesInDirectory() const { return EntriesIn(dirPath); }

    ScratchDirectory scratch;
    std::string dirPath = scratch.Path();
};

class MacroFileTest : public FileTest {
  protected:
    static std::string Contents(const MacroStream& stream) {
        return std::string(reinterpret_cast<const char*>(stream.Data()), stream.Size());
    }
};
