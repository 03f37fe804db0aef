#include "XvfbServer.h"

#include <X11/Xlib.h>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <thread>

XvfbServer::~XvfbServer() {
    Stop();
}

bool XvfbServer::Start(std::chrono::milliseconds timeout) {
    int reportPipe[2];
    if (pipe2(reportPipe, O_CLOEXEC) != 0) {
        error_ = "pipe failed";
        return false;
    }
    const std::string size = std::to_string(kWidth) + "x" + std::to_string(kHeight) + "x24";
    ChildOptions options;
    options.passFd = reportPipe[1];
    options.stdoutFile = "/dev/null";
    options.stderrFile = "/dev/null";
    // -noreset: the server keeps its state when the last client leaves between two steps.
    bool started = process_.Start({"Xvfb", "-displayfd", std::to_string(reportPipe[1]), "-screen",
                                   "0", size, "-nolisten", "tcp", "-noreset"},
                                  options);
    close(reportPipe[1]);
    bool ready = started && ReadDisplayNumber(reportPipe[0], timeout);
    close(reportPipe[0]);
    if (!started) error_ = process_.Error();
    if (ready) ready = WaitForConnection(timeout);
    if (!ready) process_.Stop();
    return ready;
}

bool XvfbServer::ReadDisplayNumber(int fd, std::chrono::milliseconds timeout) {
    std::string text;
    auto deadline = std::chrono::steady_clock::now() + timeout;
    while (text.find('\n') == std::string::npos) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd waiting{fd, POLLIN, 0};
        if (left.count() <= 0 || poll(&waiting, 1, static_cast<int>(left.count())) <= 0) {
            error_ = "Xvfb did not report its display number";
            return false;
        }
        char buffer[32];
        ssize_t got = read(fd, buffer, sizeof buffer);
        if (got <= 0) {
            error_ = "Xvfb ended before it reported its display number";
            return false;
        }
        text.append(buffer, static_cast<std::size_t>(got));
    }
    displayName_ = ":" + text.substr(0, text.find('\n'));
    return true;
}

bool XvfbServer::WaitForConnection(std::chrono::milliseconds timeout) {
    auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        if (Display* display = XOpenDisplay(displayName_.c_str())) {
            XCloseDisplay(display);
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    error_ = "Xvfb on " + displayName_ + " accepts no connection";
    return false;
}

void XvfbServer::Stop() {
    process_.Stop();
}
