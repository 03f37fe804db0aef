#pragma once
// A remote-desktop session of Mutter (org.gnome.Mutter.RemoteDesktop), on a session-bus
// connection of its own, with a screen-cast stream of each monitor for absolute motion.
// Mutter ends the session when that connection closes: keep the object while it is used.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/wayland/MutterValues.h"
#include "platform/wayland/SessionBus.h"

class MutterSession {
  public:
    enum class Opened { Yes, Absent, Failed };  // Absent: no Mutter on the session bus

    MutterSession() = default;
    ~MutterSession();
    MutterSession(const MutterSession&) = delete;
    MutterSession& operator=(const MutterSession&) = delete;

    // Waits for Mutter's answers; error says, for the user, why it failed.
    Opened Open(std::string& error);

    // Each sends one call to the session without asking for a reply: the caller does not wait.
    void MoveTo(int32_t x, int32_t y);
    void Button(uint32_t button, bool press);
    void Axis(bool horizontal, double value);
    void Key(uint32_t key, bool press);

    // Writes what waits to be sent and handles what came in, without waiting.
    void Process();
    // The session ended or the monitors changed: open a new session before the next call.
    bool Stale() const { return stale_; }

  private:
    void Notify(const char* member, const char* types, ...);
    bool Call(const char* path, const char* interface, const char* member, std::string& error,
              std::string* result, const char* types, ...);
    bool Watch(std::string& error);
    bool RecordMonitors(const std::string& screenCast, std::string& error);
    static int OnChange(sd_bus_message* message, void* self, sd_bus_error* error);

    BusHandle bus_;
    std::string session_;  // object path of the remote-desktop session
    std::vector<MutterMonitor> monitors_;
    std::vector<std::string> streams_;  // object path of each monitor's stream
    bool stale_ = false;
};
