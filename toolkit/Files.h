#pragma once
// Whole-file access with the program's error texts. Realised per platform
// (platform/posix for Linux, platform/win32 for Windows); engine/, settings/ and ui/ reach
// the file system only here.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "toolkit/Strings.h"

// A file opened for reading. Open throws Exception("ファイル %s は開けません") when the
// file is missing, cannot be opened or is not a regular file (a directory, a pipe, a device, or
// a file of the system's pseudo file systems, whose size says nothing about its content). It
// never waits for a writer. Where the system enforces sharing, others may not open the file
// while it is held (Nobody) or may read it but not write it (Readers).
enum class FileSharing { Nobody, Readers };

class InputFile {
  public:
    static InputFile Open(const std::string& path, FileSharing sharing = FileSharing::Nobody);
    InputFile(InputFile&&) noexcept;
    InputFile& operator=(InputFile&&) noexcept;
    ~InputFile();

    uint64_t Size() const;
    // Reads up to count bytes; returns how many were read, fewer only at the end of the file.
    // Throws Exception("ストリームからの読み込みエラー") when the system reports a read error.
    std::size_t Read(void* destination, std::size_t count);

  private:
    // A file descriptor or a system handle, whichever the platform uses.
    using Handle = std::intptr_t;
    static constexpr Handle kNoHandle = -1;
    explicit InputFile(Handle handle) : handle_(handle) {}
    Handle handle_ = kNoHandle;
};

// Replaces the regular file at path (or creates it) by exactly the given bytes, safely where
// the folder allows it: the bytes go to a temporary file beside it, which replaces the target
// only when all of it has been written and flushed, with the target's owner, group and mode
// where the user may set them. A new file is readable and writable by its owner only. In a
// folder the user may not write, an existing writable file is rewritten in place.
// Throws Exception("ファイル %s を作成できません") when the file cannot be created: the path
// names something other than a regular file, the file is read-only (no write permission bit,
// or the user may not write it) or the folder refuses a new file; nothing is changed then.
// Throws Exception("ストリームへの書き込みエラー") when writing stops short (disk full, file
// size limit); the previous file is then unchanged and no temporary is left. In place, the
// room for the new bytes is made sure of before the first one is written, so only a failing
// device leaves the file half written. The same error when the folder of a new name cannot
// be flushed after the rename: the new bytes are in place but may not survive a power loss.
void ReplaceFileContents(const std::string& path, const void* data, std::size_t size);

// True when path names an existing file that is not a directory.
bool FileExists(const std::string& path);

// The file-name rules of the system the program runs on.
const PathRules& NativePathRules();

// The full path of the running program's file.
std::string ExecutablePath();

// Where the settings file that belongs with the program goes: the executable's own directory
// (given with its final separator) where the user may write there, else a directory of the
// program's own among the user's settings, made when missing. Ends with a separator.
std::string ApplicationSettingsDirectory(const std::string& executableDirectory);

// The directory that stands for the system's settings directory (the Windows directory on
// Windows), without a final separator.
std::string SystemSettingsDirectory();
