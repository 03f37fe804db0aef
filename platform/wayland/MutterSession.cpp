#include "platform/wayland/MutterSession.h"

#include <linux/input-event-codes.h>

#include <cstdarg>
#include <cstdlib>
#include <string_view>

#include "platform/wayland/MutterMonitors.h"

namespace {

constexpr const char* kRemoteDesktop = "org.gnome.Mutter.RemoteDesktop";
constexpr const char* kRemoteDesktopPath = "/org/gnome/Mutter/RemoteDesktop";
constexpr const char* kRemoteDesktopSession = "org.gnome.Mutter.RemoteDesktop.Session";
constexpr const char* kScreenCast = "org.gnome.Mutter.ScreenCast";
constexpr const char* kScreenCastPath = "/org/gnome/Mutter/ScreenCast";
constexpr const char* kScreenCastSession = "org.gnome.Mutter.ScreenCast.Session";
constexpr const char* kDisplayConfig = "org.gnome.Mutter.DisplayConfig";
constexpr const char* kDisplayConfigPath = "/org/gnome/Mutter/DisplayConfig";
// Setting up a session answers in milliseconds; a hung Mutter must not hang the program.
constexpr uint64_t kCallTimeoutUs = 5'000'000;
// NotifyPointerAxis: the value comes from a mouse wheel.
constexpr uint32_t kAxisSourceWheel = 2;

}  // namespace

MutterSession::~MutterSession() {
    if (bus_ && !session_.empty()) Notify("Stop", "");
}

MutterSession::Opened MutterSession::Open(std::string& error) {
    sd_bus* bus = nullptr;
    if (int r = sd_bus_open_user(&bus); r < 0) {
        error = "セッションバスに接続できません (" + BusError().Text(r) + ")";
        return Opened::Absent;
    }
    bus_.reset(bus);
    sd_bus_set_method_call_timeout(bus, kCallTimeoutUs);
    BusError callError;
    sd_bus_message* raw = nullptr;
    int r = sd_bus_call_method(bus, kRemoteDesktop, kRemoteDesktopPath, kRemoteDesktop,
                               "CreateSession", callError.get(), &raw, "");
    MessageHandle reply(raw);
    if (r < 0) {
        error = callError.Text(r);
        return callError.Is(SD_BUS_ERROR_SERVICE_UNKNOWN) ? Opened::Absent : Opened::Failed;
    }
    const char* path = nullptr;
    if (sd_bus_message_read(reply.get(), "o", &path) < 0) return Opened::Failed;
    session_ = path;
    char* id = nullptr;
    r = sd_bus_get_property_string(bus, kRemoteDesktop, path, kRemoteDesktopSession, "SessionId",
                                   callError.get(), &id);
    if (r < 0) {
        error = callError.Text(r);
        return Opened::Failed;
    }
    const std::string sessionId = id;
    free(id);
    std::string screenCast;
    bool ok = Watch(error) && ReadMutterMonitors(bus, monitors_, error) &&
              Call(kScreenCastPath, kScreenCast, "CreateSession", error, &screenCast, "a{sv}", 1,
                   "remote-desktop-session-id", "s", sessionId.c_str()) &&
              RecordMonitors(screenCast, error) &&
              Call(session_.c_str(), kRemoteDesktopSession, "Start", error, nullptr, "");
    if (!ok) return Opened::Failed;
    // Mutter makes the session's keyboard at its first key. A seat without a keyboard of its
    // own (a headless or remote session) gains one only then, and a window takes the keyboard
    // focus later still: the first keys played would be lost. A press of KEY_RESERVED, which
    // is no key, makes the keyboard and is dropped (with a warning in Mutter's log).
    Key(KEY_RESERVED, true);
    return Opened::Yes;
}

// A call that waits for its answer; result gets the object path it returns, if asked for.
bool MutterSession::Call(const char* path, const char* interface, const char* member,
                         std::string& error, std::string* result, const char* types, ...) {
    const char* service =
        std::string_view(interface).starts_with(kScreenCast) ? kScreenCast : kRemoteDesktop;
    sd_bus_message* raw = nullptr;
    int r = sd_bus_message_new_method_call(bus_.get(), &raw, service, path, interface, member);
    MessageHandle call(raw);
    if (r >= 0) {
        va_list arguments;
        va_start(arguments, types);
        r = sd_bus_message_appendv(call.get(), types, arguments);
        va_end(arguments);
    }
    BusError callError;
    sd_bus_message* answer = nullptr;
    if (r >= 0) r = sd_bus_call(bus_.get(), call.get(), 0, callError.get(), &answer);
    MessageHandle reply(answer);
    const char* returned = nullptr;
    if (r >= 0 && result != nullptr && (r = sd_bus_message_read(answer, "o", &returned)) >= 0) {
        *result = returned;
    }
    if (r < 0) error = std::string(member) + ": " + callError.Text(r);
    return r >= 0;
}

// One stream for each monitor: a motion goes to the stream of the monitor it lands on.
bool MutterSession::RecordMonitors(const std::string& screenCast, std::string& error) {
    streams_.clear();
    for (const MutterMonitor& monitor : monitors_) {
        std::string stream;
        if (!Call(screenCast.c_str(), kScreenCastSession, "RecordMonitor", error, &stream, "sa{sv}",
                  monitor.connector.c_str(), 0)) {
            return false;
        }
        streams_.push_back(stream);
    }
    return true;
}

// The session's end, and any change of the monitors, which moves or ends the streams.
bool MutterSession::Watch(std::string& error) {
    int r = sd_bus_match_signal(bus_.get(), nullptr, kRemoteDesktop, session_.c_str(),
                                kRemoteDesktopSession, "Closed", &MutterSession::OnChange, this);
    if (r >= 0) {
        r = sd_bus_match_signal(bus_.get(), nullptr, kDisplayConfig, kDisplayConfigPath,
                                kDisplayConfig, "MonitorsChanged", &MutterSession::OnChange, this);
    }
    if (r < 0) error = "AddMatch: " + BusError().Text(r);
    return r >= 0;
}

int MutterSession::OnChange(sd_bus_message*, void* self, sd_bus_error*) {
    static_cast<MutterSession*>(self)->stale_ = true;
    return 0;
}

void MutterSession::Notify(const char* member, const char* types, ...) {
    sd_bus_message* raw = nullptr;
    int r = sd_bus_message_new_method_call(bus_.get(), &raw, kRemoteDesktop, session_.c_str(),
                                           kRemoteDesktopSession, member);
    MessageHandle call(raw);
    if (r < 0) return;
    va_list arguments;
    va_start(arguments, types);
    r = sd_bus_message_appendv(call.get(), types, arguments);
    va_end(arguments);
    if (r >= 0) r = sd_bus_message_set_expect_reply(call.get(), 0);
    if (r >= 0) sd_bus_send(bus_.get(), call.get(), nullptr);
}

void MutterSession::MoveTo(int32_t x, int32_t y) {
    const StreamPoint point = PlaceOnStream(monitors_, x, y);
    Notify("NotifyPointerMotionAbsolute", "sdd", streams_[point.monitor].c_str(), point.x, point.y);
}

void MutterSession::Button(uint32_t button, bool press) {
    Notify("NotifyPointerButton", "ib", static_cast<int32_t>(button), press ? 1 : 0);
}

void MutterSession::Axis(bool horizontal, double value) {
    Notify("NotifyPointerAxis", "ddu", horizontal ? value : 0.0, horizontal ? 0.0 : value,
           kAxisSourceWheel);
}

void MutterSession::Key(uint32_t key, bool press) {
    Notify("NotifyKeyboardKeycode", "ub", key, press ? 1 : 0);
}

void MutterSession::Process() {
    // A bounded number of turns: each handles one message or writes what it can.
    for (int turn = 0; turn < 64; ++turn) {
        const int r = sd_bus_process(bus_.get(), nullptr);
        if (r < 0) stale_ = true;  // the connection broke
        if (r <= 0) return;
    }
}
