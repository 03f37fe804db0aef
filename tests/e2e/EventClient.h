#pragma once
// Runs tapewright_event_client and collects the events it logs. A reader thread takes its
// output line by line; the test waits for lines and reads the events as they came.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "ChildProcess.h"

struct ClientEvent {
    enum Kind { Key, Button, Motion } kind = Motion;
    bool press = false;
    unsigned code = 0;   // key code or button
    std::string keysym;  // the key's unshifted symbol name
    unsigned state = 0;  // modifier and button state before the event (keys)
    int x = 0;           // root position (buttons, motion)
    int y = 0;
    uint32_t time = 0;  // server time stamp, milliseconds

    std::string Describe() const;
};

// One logged line as an event; nothing for READY and focus lines.
std::optional<ClientEvent> ParseClientEvent(const std::string& line);

class EventClient {
  public:
    EventClient() = default;
    ~EventClient();
    EventClient(const EventClient&) = delete;
    EventClient& operator=(const EventClient&) = delete;

    // Starts the client on the display and waits for its READY line.
    bool Start(const std::string& binary, const std::string& displayName,
               std::chrono::milliseconds timeout = std::chrono::seconds(10));
    void Stop();

    unsigned long WindowId() const { return window_; }

    // The number of lines so far: a mark from which later events can be read.
    std::size_t Mark();
    std::vector<std::string> LinesSince(std::size_t mark);
    std::vector<ClientEvent> EventsSince(std::size_t mark);
    // Waits until a line after mark satisfies match.
    bool WaitForLine(std::size_t mark, const std::function<bool(const std::string&)>& match,
                     std::chrono::milliseconds timeout);
    // Waits until a motion event to (x, y) was logged after mark.
    bool WaitForMotion(std::size_t mark, int x, int y, std::chrono::milliseconds timeout);

  private:
    void ReadLines();

    ChildProcess process_;
    std::thread reader_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::string> lines_;
    bool ended_ = false;
    unsigned long window_ = 0;
};
