#pragma once
// Watches a session bus as its user sees it (dbus-monitor), so that a test can wait until a
// call has been answered: the callee has then handled it. Also makes calls on that bus as its
// user (dbus-send).
#include <chrono>
#include <set>
#include <string>
#include <vector>

#include "ChildProcess.h"

class BusMonitor {
  public:
    // asUser: the words that run a command as the bus's user; address: the bus's. Returns once
    // the monitor sees the bus (a call of the test's own has shown up), false on timeout.
    bool Start(const std::vector<std::string>& asUser, const std::string& address,
               std::chrono::milliseconds timeout);
    // Waits until a call of member with the arguments, as dbus-monitor prints them one after
    // the other ("int32 1380 int32 50"), has been answered.
    bool WaitForAnswered(const std::string& member, const std::string& arguments,
                         std::chrono::milliseconds timeout);
    // Calls destination's path interface.member with dbus-send's arguments ("string:abc") as
    // the bus's user: the reply's arguments as dbus-monitor prints them, "" for none, and
    // nothing when the call failed.
    std::string Call(const std::string& destination, const std::string& path,
                     const std::string& method, const std::vector<std::string>& arguments,
                     std::chrono::milliseconds timeout, bool* failed = nullptr);
    // The last messages seen, for a failing test's message.
    std::string Transcript() const;

  private:
    bool Answered(const std::string& member, const std::string& arguments) const;
    bool ReadMore(std::chrono::milliseconds timeout);
    void Take(const std::string& message);
    void Answer(const std::string& header);

    std::vector<std::string> asUser_;
    std::string address_;
    ChildProcess process_;
    std::string pending_;
    std::string message_;                // the message being read: its header and arguments
    std::vector<std::string> messages_;  // each one line: the header, " |", the arguments
    std::vector<std::string> calls_;
    std::set<std::string> answers_;  // "destination#reply_serial"
};
