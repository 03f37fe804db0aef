// POSIX realisation of the whole-file helpers: plain file descriptors, a temporary file
// beside the target and rename() to replace it in one step. Sharing is not enforced here.
#include "toolkit/Files.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <utility>

#include "toolkit/Exception.h"

namespace {

const char kOpenError[] = "ファイル %s は開けません";
const char kCreateError[] = "ファイル %s を作成できません";
const char kReadError[] = "ストリームからの読み込みエラー";
const char kWriteError[] = "ストリームへの書き込みエラー";

// Magic numbers of the pseudo file systems (proc, sysfs) from <linux/magic.h>: their files
// claim to be regular, but their size is 0 or a page whatever they hold.
constexpr long kProcMagic = 0x9fa0;
constexpr long kSysfsMagic = 0x62656572;

bool IsPlainFile(int fd) {
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) return false;
    struct statfs system {};
    if (fstatfs(fd, &system) != 0) return true;
    const auto type = static_cast<long>(system.f_type);
    return type != kProcMagic && type != kSysfsMagic;
}

bool WriteAll(int fd, const void* data, std::size_t size) {
    auto* bytes = static_cast<const char*>(data);
    while (size > 0) {
        ssize_t written = write(fd, bytes, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

// The file a path finally names, so that replacing a symbolic link replaces its target.
std::string ResolveTarget(const std::string& path) {
    char resolved[PATH_MAX];
    struct stat info {};
    if (lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode) &&
        realpath(path.c_str(), resolved) != nullptr) {
        return resolved;
    }
    return path;
}

// A file without any write permission bit is read-only for everyone, root included, as the
// read-only attribute is elsewhere; otherwise the system's access rules decide.
bool MayWrite(const std::string& target, const struct stat& info) {
    if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return false;
    return faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) == 0;
}

// The folder holding target, with its final separator; "." for a bare name.
std::string FolderOf(const std::string& target) {
    std::size_t slash = target.rfind('/');
    return slash == std::string::npos ? std::string(".") : target.substr(0, slash + 1);
}

// A short name in the target's folder, so that a target name near the length limit still
// leaves room for it.
std::string TemporaryBeside(const std::string& target) {
    std::size_t slash = target.rfind('/');
    std::string dir = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    return dir + ".tw-XXXXXX";
}

// Gives the new file the replaced file's owner and group, or at least its group, as far as
// the user may; then its mode (after the owner, whose change clears set-id bits).
bool TakeOverAttributes(int fd, const struct stat* replaced) {
    if (replaced == nullptr) return fchmod(fd, 0600) == 0;  // a recording can hold passwords
    if (fchown(fd, replaced->st_uid, replaced->st_gid) != 0 &&
        fchown(fd, static_cast<uid_t>(-1), replaced->st_gid) != 0) {
        // Not permitted: the new file keeps the user's own owner and group.
    }
    return fchmod(fd, replaced->st_mode & 07777) == 0;
}

[[noreturn]] void ThrowCreateError(const std::string& path) {
    throw Exception(FormatText(kCreateError, path));
}

// Where the file system cannot reserve blocks: whether the free space and the file size
// limit leave room for size bytes in place of what the file holds now.
bool RoomFor(int fd, std::size_t size) {
    rlimit limit{};
    if (getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY &&
        size > limit.rlim_cur) {
        return false;
    }
    struct stat info {};
    struct statvfs space {};
    if (fstat(fd, &info) != 0 || fstatvfs(fd, &space) != 0) return false;
    const uint64_t held = static_cast<uint64_t>(info.st_blocks) * 512;
    const uint64_t freeBlocks = geteuid() == 0 ? space.f_bfree : space.f_bavail;
    return size <= held || size - held <= freeBlocks * space.f_frsize;
}

// Makes sure that size bytes fit before any byte of the file changes: the blocks are
// allocated at once where the file system can, which may lengthen the file with zeros
// after its old bytes; a refusal puts the old length back.
bool ReserveInPlace(int fd, std::size_t size, off_t oldSize) {
    if (size == 0) return true;
    int result;
    do {
        result = fallocate(fd, 0, 0, static_cast<off_t>(size));
    } while (result != 0 && errno == EINTR);
    if (result == 0) return true;
    if (errno == EOPNOTSUPP || errno == ENOSYS) return RoomFor(fd, size);
    if (ftruncate(fd, oldSize) != 0) {
        // The old bytes are there still, followed by zeros.
    }
    return false;
}

bool WriteAllAt(int fd, const void* data, std::size_t size) {
    return lseek(fd, 0, SEEK_SET) == 0 && WriteAll(fd, data, size);
}

// The safe route is impossible where the folder refuses new files, so the file is written
// where it is. The room is made sure of first, so a full disk or a size limit leaves the old
// bytes; only a failure of the device itself can stop the write half way.
void RewriteInPlace(const std::string& path, const std::string& target, const void* data,
                    std::size_t size) {
    int fd = open(target.c_str(), O_WRONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) ThrowCreateError(path);
    struct stat info {};
    bool written = fstat(fd, &info) == 0 && ReserveInPlace(fd, size, info.st_size) &&
                   WriteAllAt(fd, data, size) && ftruncate(fd, static_cast<off_t>(size)) == 0 &&
                   fsync(fd) == 0;
    written = (close(fd) == 0) && written;
    if (!written) throw Exception(kWriteError);
}

// A new name survives a power loss only once its folder is on the disk too. A folder that
// cannot be opened for reading is left to the system; one whose file system cannot sync
// folders (EINVAL) keeps its names by other means.
bool SyncFolder(const std::string& target) {
    int fd = open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return true;
    bool synced = fsync(fd) == 0 || errno == EINVAL;
    close(fd);
    return synced;
}

void ReplaceThroughTemporary(const std::string& path, const std::string& target,
                             const struct stat* replaced, const void* data, std::size_t size) {
    std::string temporary = TemporaryBeside(target);
    int fd = mkstemp(temporary.data());
    if (fd < 0) ThrowCreateError(path);
    bool written = TakeOverAttributes(fd, replaced) && WriteAll(fd, data, size) && fsync(fd) == 0;
    written = (close(fd) == 0) && written;
    if (!written) {
        unlink(temporary.c_str());
        throw Exception(kWriteError);
    }
    if (rename(temporary.c_str(), target.c_str()) != 0) {
        unlink(temporary.c_str());
        ThrowCreateError(path);
    }
    if (!SyncFolder(target)) throw Exception(kWriteError);
}

// Whether the folder holding target lets the user create files in it.
bool FolderTakesNewFiles(const std::string& target) {
    return faccessat(AT_FDCWD, FolderOf(target).c_str(), W_OK | X_OK, AT_EACCESS) == 0;
}

}  // namespace

InputFile InputFile::Open(const std::string& path, FileSharing) {
    // Without O_NONBLOCK opening a pipe would wait for a writer.
    int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0 && !IsPlainFile(fd)) {
        close(fd);
        fd = -1;
    }
    if (fd < 0) throw Exception(FormatText(kOpenError, path));
    return InputFile(fd);
}

InputFile::InputFile(InputFile&& other) noexcept
    : handle_(std::exchange(other.handle_, kNoHandle)) {}

InputFile& InputFile::operator=(InputFile&& other) noexcept {
    if (this != &other) {
        if (handle_ >= 0) close(static_cast<int>(handle_));
        handle_ = std::exchange(other.handle_, kNoHandle);
    }
    return *this;
}

InputFile::~InputFile() {
    if (handle_ >= 0) close(static_cast<int>(handle_));
}

uint64_t InputFile::Size() const {
    struct stat info {};
    if (fstat(static_cast<int>(handle_), &info) != 0) return 0;
    return static_cast<uint64_t>(info.st_size);
}

std::size_t InputFile::Read(void* destination, std::size_t count) {
    auto* bytes = static_cast<char*>(destination);
    std::size_t total = 0;
    while (total < count) {
        ssize_t got = read(static_cast<int>(handle_), bytes + total, count - total);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) throw Exception(kReadError);
        if (got == 0) break;
        total += static_cast<std::size_t>(got);
    }
    return total;
}

void ReplaceFileContents(const std::string& path, const void* data, std::size_t size) {
    std::string target = ResolveTarget(path);
    struct stat existing {};
    if (stat(target.c_str(), &existing) != 0) {
        ReplaceThroughTemporary(path, target, nullptr, data, size);
        return;
    }
    if (!S_ISREG(existing.st_mode) || !MayWrite(target, existing)) ThrowCreateError(path);
    if (FolderTakesNewFiles(target)) {
        ReplaceThroughTemporary(path, target, &existing, data, size);
    } else {
        RewriteInPlace(path, target, data, size);
    }
}

bool FileExists(const std::string& path) {
    struct stat info {};
    return !path.empty() && stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

const PathRules& NativePathRules() {
    return kPosixPathRules;
}

std::string ExecutablePath() {
    char buffer[PATH_MAX];
    ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length <= 0) return std::string();
    return std::string(buffer, static_cast<std::size_t>(length));
}

std::string SystemSettingsDirectory() {
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config != nullptr && *config != 0) {
        return config;
    }
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != 0) {
        return std::string(home) + "/.config";
    }
    return "/etc";
}
