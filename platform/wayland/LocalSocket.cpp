#include "platform/wayland/LocalSocket.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

LocalSocket::~LocalSocket() {
    Close();
}

void LocalSocket::Close() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
}

bool LocalSocket::Fail(std::string& error, const std::string& why) {
    error = why;
    Close();
    return false;
}

bool LocalSocket::Connect(const std::string& path, std::string& error) {
    Close();
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof(address.sun_path)) return Fail(error, "パスが長すぎます");
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    fd_ = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd_ < 0) return Fail(error, std::strerror(errno));
    // A Unix socket connects at once or not at all (EAGAIN: the server's backlog is full).
    if (connect(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0) {
        return Fail(error, std::strerror(errno));
    }
    return true;
}

bool LocalSocket::Wait(short events, std::string& error) {
    pollfd watched{fd_, events, 0};
    int ready = 0;
    do {
        ready = poll(&watched, 1, static_cast<int>(timeout_.count()));
    } while (ready < 0 && errno == EINTR);
    if (ready < 0) return Fail(error, std::strerror(errno));
    if (ready == 0) return Fail(error, "応答がありません");
    return true;
}

bool LocalSocket::Write(std::string_view data, std::string& error) {
    while (!data.empty()) {
        if (fd_ < 0) return Fail(error, "接続していません");
        const ssize_t sent = send(fd_, data.data(), data.size(), MSG_NOSIGNAL);
        if (sent >= 0) {
            data.remove_prefix(static_cast<std::size_t>(sent));
        } else if (errno == EAGAIN || errno == EWOULDBLOCK) {
            if (!Wait(POLLOUT, error)) return false;
        } else if (errno != EINTR) {
            return Fail(error, std::strerror(errno));
        }
    }
    return true;
}

bool LocalSocket::Read(char* into, std::size_t size, std::string& error) {
    while (size > 0) {
        if (fd_ < 0) return Fail(error, "接続していません");
        const ssize_t got = recv(fd_, into, size, 0);
        if (got > 0) {
            into += got;
            size -= static_cast<std::size_t>(got);
        } else if (got == 0) {
            return Fail(error, "接続が切れました");
        } else if (errno == EAGAIN || errno == EWOULDBLOCK) {
            if (!Wait(POLLIN, error)) return false;
        } else if (errno != EINTR) {
            return Fail(error, std::strerror(errno));
        }
    }
    return true;
}

bool LocalSocket::ReadToEnd(std::string& into, std::string& error) {
    constexpr std::size_t kMostBytes = 1 << 16;  // an answer, not a stream
    char buffer[512];
    while (fd_ >= 0) {
        if (into.size() > kMostBytes) return Fail(error, "応答が長すぎます");
        const ssize_t got = recv(fd_, buffer, sizeof(buffer), 0);
        if (got > 0) {
            into.append(buffer, static_cast<std::size_t>(got));
        } else if (got == 0) {
            Close();
            return true;
        } else if (errno == EAGAIN || errno == EWOULDBLOCK) {
            if (!Wait(POLLIN, error)) return false;
        } else if (errno != EINTR) {
            return Fail(error, std::strerror(errno));
        }
    }
    return Fail(error, "接続していません");
}
