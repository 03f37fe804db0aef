// POSIX realisation of the whole-file helpers: plain file descriptors, a temporary file
// beside the target and rename() to replace it in one step.
#include "toolkit/Files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <utility>

#include "toolkit/Exception.h"

namespace {

const char kOpenError[] = "ファイル %s は開けません";
const char kCreateError[] = "ファイル %s を作成できません";
const char kWriteError[] = "ストリームへの書き込みエラー";

bool IsDirectory(int fd) {
    struct stat info {};
    return fstat(fd, &info) == 0 && S_ISDIR(info.st_mode);
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

// Mode for the new content: that of the file being replaced, or owner-only for a new file,
// since a recording can hold typed passwords.
mode_t ModeFor(const std::string& target) {
    struct stat info {};
    if (stat(target.c_str(), &info) == 0) return info.st_mode & 07777;
    return 0600;
}

std::string TemporaryBeside(const std::string& target) {
    std::size_t slash = target.rfind('/');
    std::string dir = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    return dir + "." + name + ".XXXXXX";
}

}  // namespace

InputFile InputFile::Open(const std::string& path) {
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0 && IsDirectory(fd)) {
        close(fd);
        fd = -1;
    }
    if (fd < 0) throw Exception(FormatText(kOpenError, path));
    return InputFile(fd);
}

InputFile::InputFile(InputFile&& other) noexcept : handle_(std::exchange(other.handle_, -1)) {}

InputFile& InputFile::operator=(InputFile&& other) noexcept {
    if (this != &other) {
        if (handle_ >= 0) close(handle_);
        handle_ = std::exchange(other.handle_, -1);
    }
    return *this;
}

InputFile::~InputFile() {
    if (handle_ >= 0) close(handle_);
}

uint64_t InputFile::Size() const {
    struct stat info {};
    if (fstat(handle_, &info) != 0) return 0;
    return static_cast<uint64_t>(info.st_size);
}

std::size_t InputFile::Read(void* destination, std::size_t count) {
    auto* bytes = static_cast<char*>(destination);
    std::size_t total = 0;
    while (total < count) {
        ssize_t got = read(handle_, bytes + total, count - total);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        total += static_cast<std::size_t>(got);
    }
    return total;
}

void ReplaceFileContents(const std::string& path, const void* data, std::size_t size) {
    std::string target = ResolveTarget(path);
    struct stat existing {};
    if (stat(target.c_str(), &existing) == 0 && S_ISDIR(existing.st_mode)) {
        throw Exception(FormatText(kCreateError, path));
    }
    std::string temporary = TemporaryBeside(target);
    int fd = mkstemp(temporary.data());
    if (fd < 0) throw Exception(FormatText(kCreateError, path));
    bool written = fchmod(fd, ModeFor(target)) == 0 && WriteAll(fd, data, size) && fsync(fd) == 0;
    written = (close(fd) == 0) && written;
    if (!written) {
        unlink(temporary.c_str());
        throw Exception(kWriteError);
    }
    if (rename(temporary.c_str(), target.c_str()) != 0) {
        unlink(temporary.c_str());
        throw Exception(FormatText(kCreateError, path));
    }
}

bool FileExists(const std::string& path) {
    struct stat info {};
    return !path.empty() && stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
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
