#pragma once
// The fixture of the macro file tests: a scratch folder and byte-level helpers.
#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <string>

#include "ScratchDirectory.h"
#include "engine/MacroStream.h"

class MacroFileTest : public ::testing::Test {
  protected:
    std::string PathOf(const std::string& name) const { return scratch.File(name); }
    static std::string Bytes(const std::string& path) { return ReadBytes(path); }
    static void Put(const std::string& path, const std::string& bytes) { WriteBytes(path, bytes); }
    static std::string Contents(const MacroStream& stream) {
        return std::string(reinterpret_cast<const char*>(stream.Data()), stream.Size());
    }
    std::size_t FilesInDirectory() const {
        std::filesystem::path dir = std::filesystem::path(PathOf("x")).parent_path();
        return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(dir),
                                                      std::filesystem::directory_iterator()));
    }

    ScratchDirectory scratch;
    std::string dirPath = std::filesystem::path(scratch.File("x")).parent_path().string();
};
