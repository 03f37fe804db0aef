#include "platform/wayland/ServingThread.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

bool ServingThread::Start(Serve serve, std::string& error) {
    Stop();
    wake_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wake_ < 0) {
        error = std::strerror(errno);
        return false;
    }
    thread_ = std::thread([serve = std::move(serve), wake = wake_] { serve(wake); });
    return true;
}

void ServingThread::Stop() {
    if (thread_.joinable()) {
        const uint64_t one = 1;
        [[maybe_unused]] ssize_t written = write(wake_, &one, sizeof one);
        thread_.join();
    }
    if (wake_ >= 0) close(wake_);
    wake_ = -1;
}
