#include "BusMonitor.h"

#include <poll.h>
#include <unistd.h>

#include <optional>

namespace {

// The value of "key=" in a message's header, up to the next space or semicolon.
std::string Field(const std::string& header, const std::string& key) {
    const std::string tag = " " + key + "=";
    const std::size_t at = header.find(tag);
    if (at == std::string::npos) return std::string();
    const std::size_t from = at + tag.size();
    return header.substr(from, header.find_first_of(" ;|", from) - from);
}

// A command's whole standard output, once it has ended with 0; nothing else.
std::optional<std::string> Output(const std::vector<std::string>& argv, const std::string& address,
                                  std::chrono::milliseconds timeout) {
    ChildOptions options;
    options.environment = {{"DBUS_SESSION_BUS_ADDRESS", address}};
    options.pipeStdout = true;
    ChildProcess command;
    if (!command.Start(argv, options)) return std::nullopt;
    std::string output;
    char buffer[1024];
    pollfd readable{command.ReadFd(), POLLIN, 0};
    while (poll(&readable, 1, static_cast<int>(timeout.count())) > 0) {
        const ssize_t got = read(command.ReadFd(), buffer, sizeof buffer);
        if (got <= 0) break;
        output.append(buffer, static_cast<std::size_t>(got));
    }
    if (command.Wait(timeout) != 0) return std::nullopt;
    return output;
}

}  // namespace

bool BusMonitor::Start(const std::vector<std::string>& asUser, const std::string& address,
                       std::chrono::milliseconds timeout) {
    asUser_ = asUser;
    address_ = address;
    std::vector<std::string> argv = asUser_;
    argv.insert(argv.end(), {"dbus-monitor", "--session"});
    ChildOptions options;
    options.environment = {{"DBUS_SESSION_BUS_ADDRESS", address_}};
    options.pipeStdout = true;
    if (!process_.Start(argv, options)) return false;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        Call("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus.GetId", {},
             timeout);
        if (WaitForAnswered("GetId", "", std::chrono::milliseconds(500))) return true;
    }
    return false;
}

std::string BusMonitor::Call(const std::string& destination, const std::string& path,
                             const std::string& method, const std::vector<std::string>& arguments,
                             std::chrono::milliseconds timeout, bool* failed) {
    std::vector<std::string> argv = asUser_;
    argv.insert(argv.end(),
                {"dbus-send", "--session", "--print-reply", "--dest=" + destination, path, method});
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    const std::optional<std::string> output = Output(argv, address_, timeout);
    if (failed != nullptr) *failed = !output;
    if (!output) return std::string();
    // The header line, then an argument a line, each indented.
    std::string values;
    std::size_t at = output->find('\n');
    while (at != std::string::npos && at + 1 < output->size()) {
        const std::size_t end = output->find('\n', at + 1);
        std::string line = output->substr(at + 1, end - at - 1);
        line.erase(0, line.find_first_not_of(' '));
        values += (values.empty() ? "" : " ") + line;
        at = end;
    }
    return values;
}

bool BusMonitor::WaitForAnswered(const std::string& member, const std::string& arguments,
                                 std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!Answered(member, arguments)) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || !ReadMore(left)) return false;
    }
    return true;
}

// A call's answer names the caller as its destination and the call's serial as its
// reply_serial.
bool BusMonitor::Answered(const std::string& member, const std::string& arguments) const {
    for (const std::string& call : calls_) {
        if (Field(call, "member") != member || call.substr(call.find(" |") + 2) != arguments) {
            continue;
        }
        if (answers_.count(Field(call, "sender") + "#" + Field(call, "serial")) != 0) return true;
    }
    return false;
}

void BusMonitor::Take(const std::string& message) {
    messages_.push_back(message);
    if (message.starts_with("method call ")) calls_.push_back(message);
    if (message.starts_with("method return ")) Answer(message);
}

void BusMonitor::Answer(const std::string& header) {
    answers_.insert(Field(header, "destination") + "#" + Field(header, "reply_serial"));
}

// A message is its header line and its arguments, each on an indented line of its own; it is
// complete when the next header comes, which may come in a later read. A call's answer comes
// after the call, and its header says all that counts: it counts at once.
bool BusMonitor::ReadMore(std::chrono::milliseconds timeout) {
    pollfd readable{process_.ReadFd(), POLLIN, 0};
    if (poll(&readable, 1, static_cast<int>(timeout.count())) <= 0) return false;
    char buffer[8192];
    const ssize_t got = read(process_.ReadFd(), buffer, sizeof buffer);
    if (got <= 0) return false;
    pending_.append(buffer, static_cast<std::size_t>(got));
    for (std::size_t end; (end = pending_.find('\n')) != std::string::npos;) {
        std::string line = pending_.substr(0, end);
        pending_.erase(0, end + 1);
        if (!line.starts_with(" ")) {
            if (!message_.empty()) Take(message_);
            message_ = line + " |";
            if (line.starts_with("method return ")) Answer(line);
        } else {
            line.erase(0, line.find_first_not_of(' '));
            message_ += (message_.ends_with("|") ? "" : " ") + line;
        }
    }
    return true;
}

std::string BusMonitor::Transcript() const {
    std::string text;
    const std::size_t first = messages_.size() > 60 ? messages_.size() - 60 : 0;
    for (std::size_t i = first; i < messages_.size(); ++i) {
        text += messages_[i].substr(0, 400) + "\n";
    }
    return text + message_.substr(0, 400);
}
