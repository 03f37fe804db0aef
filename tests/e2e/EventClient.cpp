#include "EventClient.h"

#include <unistd.h>

#include <sstream>

std::string ClientEvent::Describe() const {
    std::ostringstream text;
    switch (kind) {
        case Key:
            text << "key " << (press ? "press " : "release ") << keysym << " (" << code << ")";
            break;
        case Button:
            text << "button " << code << (press ? " press at " : " release at ") << x << "," << y;
            break;
        case Motion:
            text << "motion to " << x << "," << y;
            break;
    }
    text << " @" << time;
    return text.str();
}

std::optional<ClientEvent> ParseClientEvent(const std::string& line) {
    std::istringstream in(line);
    std::string tag;
    in >> tag;
    ClientEvent event;
    std::string press;
    if (tag == "K") {
        event.kind = ClientEvent::Key;
        in >> press >> event.code >> event.keysym >> event.state >> event.time;
    } else if (tag == "B") {
        event.kind = ClientEvent::Button;
        in >> press >> event.code >> event.x >> event.y >> event.time;
    } else if (tag == "M") {
        event.kind = ClientEvent::Motion;
        in >> event.x >> event.y >> event.time;
    } else {
        return std::nullopt;
    }
    if (!in) return std::nullopt;
    event.press = press == "press";
    return event;
}

EventClient::~EventClient() {
    Stop();
}

bool EventClient::Start(const std::string& binary, const std::string& displayName,
                        std::chrono::milliseconds timeout) {
    ChildOptions options;
    options.environment = {{"DISPLAY", displayName}};
    options.pipeStdout = true;
    if (!process_.Start({binary}, options)) return false;
    reader_ = std::thread([this] { ReadLines(); });
    std::string ready;
    bool started = WaitForLine(
        0,
        [&ready](const std::string& line) {
            if (line.rfind("READY ", 0) != 0) return false;
            ready = line;
            return true;
        },
        timeout);
    if (started) window_ = std::stoul(ready.substr(6));
    return started;
}

void EventClient::Stop() {
    process_.Stop();
    if (reader_.joinable()) reader_.join();  // the pipe ends with the client
}

void EventClient::ReadLines() {
    std::string pending;
    char buffer[4096];
    for (;;) {
        ssize_t got = read(process_.ReadFd(), buffer, sizeof buffer);
        if (got <= 0) break;
        pending.append(buffer, static_cast<std::size_t>(got));
        std::size_t end;
        std::lock_guard lock(mutex_);
        while ((end = pending.find('\n')) != std::string::npos) {
            lines_.push_back(pending.substr(0, end));
            pending.erase(0, end + 1);
        }
        changed_.notify_all();
    }
    std::lock_guard lock(mutex_);
    ended_ = true;
    changed_.notify_all();
}

std::size_t EventClient::Mark() {
    std::lock_guard lock(mutex_);
    return lines_.size();
}

std::vector<std::string> EventClient::LinesSince(std::size_t mark) {
    std::lock_guard lock(mutex_);
    if (mark >= lines_.size()) return {};
    return {lines_.begin() + static_cast<std::ptrdiff_t>(mark), lines_.end()};
}

std::vector<ClientEvent> EventClient::EventsSince(std::size_t mark) {
    std::vector<ClientEvent> events;
    for (const std::string& line : LinesSince(mark)) {
        if (auto event = ParseClientEvent(line)) events.push_back(*event);
    }
    return events;
}

bool EventClient::WaitForLine(std::size_t mark,
                              const std::function<bool(const std::string&)>& match,
                              std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    std::size_t checked = mark;
    return changed_.wait_for(lock, timeout, [&] {
        for (; checked < lines_.size(); ++checked) {
            if (match(lines_[checked])) return true;
        }
        return ended_;
    }) && checked < lines_.size();
}

bool EventClient::WaitForMotion(std::size_t mark, int x, int y, std::chrono::milliseconds timeout) {
    return WaitForLine(
        mark,
        [x, y](const std::string& line) {
            auto event = ParseClientEvent(line);
            return event && event->kind == ClientEvent::Motion && event->x == x && event->y == y;
        },
        timeout);
}
