#pragma once
// Whole-file access with the program's error texts. Realised per platform
// (platform/posix for Linux); engine/, settings/ and ui/ reach the file system only here.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

// A file opened for reading. Open throws Exception("ファイル %s は開けません") when the
// file is missing, is a directory or cannot be opened.
class InputFile {
  public:
    static InputFile Open(const std::string& path);
    InputFile(InputFile&&) noexcept;
    InputFile& operator=(InputFile&&) noexcept;
    ~InputFile();

    uint64_t Size() const;
    // Reads up to count bytes; returns how many were read (0 at the end or on an error).
    std::size_t Read(void* destination, std::size_t count);

  private:
    explicit InputFile(int handle) : handle_(handle) {}
    int handle_ = -1;
};

// Replaces the file at path by exactly the given bytes, safely: the bytes go to a temporary
// file beside it, which replaces the target only when all of it has been written and flushed.
// A new file is readable and writable by its owner only; a replaced file keeps its mode.
// Throws Exception("ファイル %s を作成できません") when the file cannot be created and
// Exception("ストリームへの書き込みエラー") when writing stops short; in both cases the
// previous file is unchanged and no temporary is left.
void ReplaceFileContents(const std::string& path, const void* data, std::size_t size);

// True when path names an existing file that is not a directory.
bool FileExists(const std::string& path);

// The full path of the running program's file.
std::string ExecutablePath();

// Where the settings file that belongs with the program goes: the executable's own directory
// (given with its final separator) where the user may write there, else a directory of the
// program's own among the user's settings, made when missing. Ends with a separator.
std::string ApplicationSettingsDirectory(const std::string& executableDirectory);

// The directory that stands for the system's settings directory (the Windows directory on
// Windows), without a final separator.
std::string SystemSettingsDirectory();
