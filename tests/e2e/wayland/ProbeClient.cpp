#include "ProbeClient.h"

#include <poll.h>
#include <unistd.h>

bool ProbeClient::Start(const WaylandCompositor& compositor, const std::string& output,
                        bool stamps) {
    std::vector<std::string> argv{TAPEWRIGHT_WAYLAND_PROBE};
    if (!output.empty()) argv.insert(argv.end(), {"--output", output});
    if (stamps) argv.emplace_back("--stamps");
    ChildOptions options;
    options.environment = compositor.ClientEnvironment();
    options.pipeStdout = true;
    return process_.Start(argv, options);
}

bool ProbeClient::ReadMore(std::chrono::milliseconds timeout) {
    pollfd readable{process_.ReadFd(), POLLIN, 0};
    if (poll(&readable, 1, static_cast<int>(timeout.count())) <= 0) return false;
    char buffer[4096];
    const ssize_t got = read(process_.ReadFd(), buffer, sizeof buffer);
    if (got <= 0) return false;
    pending_.append(buffer, static_cast<std::size_t>(got));
    for (std::size_t end; (end = pending_.find('\n')) != std::string::npos;) {
        lines_.push_back(pending_.substr(0, end));
        pending_.erase(0, end + 1);
    }
    return true;
}

std::optional<std::string> ProbeClient::WaitFor(
    const std::function<bool(const std::string&)>& accepts, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        for (; next_ < lines_.size(); ++next_) {
            if (accepts(lines_[next_])) return lines_[next_++];
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || !ReadMore(left)) return std::nullopt;
    }
}

bool ProbeClient::WaitForLine(const std::string& line, std::chrono::milliseconds timeout) {
    return WaitFor([&line](const std::string& got) { return got == line; }, timeout).has_value();
}

std::string ProbeClient::Transcript() const {
    std::string text;
    for (const std::string& line : lines_) text += line + "\n";
    return text;
}
