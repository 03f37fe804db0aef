#include "FailingReads.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>

#include <cerrno>
#include <cstddef>

extern "C" long syscall(long number, ...) noexcept;

namespace {

struct FailingFile {
    bool armed = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t goodBytes = 0;
};

FailingFile failing;

bool IsFailingFile(int fd) {
    struct stat info {};
    return fstat(fd, &info) == 0 && info.st_dev == failing.device && info.st_ino == failing.inode;
}

}  // namespace

FailingReads::FailingReads(const std::string& path, off_t goodBytes) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) return;
    failing = {true, info.st_dev, info.st_ino, goodBytes};
}

FailingReads::~FailingReads() {
    failing.armed = false;
}

// Replaces the C library's read() in the whole test program: the good bytes come through,
// then the read fails.
extern "C" ssize_t read(int fd, void* buffer, size_t count) {
    if (failing.armed && IsFailingFile(fd)) {
        const auto offset = static_cast<off_t>(syscall(SYS_lseek, fd, 0, SEEK_CUR));
        if (offset >= failing.goodBytes) {
            errno = EIO;
            return -1;
        }
        const auto good = static_cast<size_t>(failing.goodBytes - offset);
        if (count > good) count = good;
    }
    return static_cast<ssize_t>(syscall(SYS_read, fd, buffer, count));
}
