#include "platform/wayland/GnomeShellSource.h"

#include <charconv>
#include <cstdlib>

#include "platform/posix/MonotonicClock.h"
#include "platform/wayland/ArrivedPositions.h"
#include "platform/wayland/BusThread.h"
#include "platform/wayland/SessionBus.h"

namespace {

// The extension answers in well under a millisecond; a hung shell must not hang the Record
// click for long.
constexpr uint64_t kCallTimeoutUs = 2'000'000;
constexpr const char* kOwnerRule =
    "type='signal',sender='org.freedesktop.DBus',path='/org/freedesktop/DBus',"
    "interface='org.freedesktop.DBus',member='NameOwnerChanged',arg0='org.tapewright.Pointer'";

// "43.9" -> 43; 0 when it is not a version.
int MajorVersion(std::string_view version) {
    int major = 0;
    std::from_chars(version.data(), version.data() + version.size(), major);
    return major;
}

// The running shell's version, empty when it does not say.
std::string ShellVersion(sd_bus* bus) {
    char* version = nullptr;
    BusError error;
    if (sd_bus_get_property_string(bus, "org.gnome.Shell", "/org/gnome/Shell", "org.gnome.Shell",
                                   "ShellVersion", error.get(), &version) < 0) {
        return std::string();
    }
    std::string text = version;
    free(version);
    return text;
}

}  // namespace

struct GnomeShellSource::State {
    BusHandle bus;
    BusThread thread;
    Report report;
    ArrivedPositions arrived;  // added to by the thread

    // On the bus thread: the callbacks never throw.
    static int OnPosition(sd_bus_message* message, void* self, sd_bus_error*) {
        PointerPosition at;
        if (!sd_bus_message_is_method_error(message, nullptr) &&
            sd_bus_message_read(message, "ii", &at.x, &at.y) >= 0) {
            static_cast<State*>(self)->arrived.Add(at);
        }
        return 0;
    }

    // The extension came back (the screen was unlocked): where is the pointer now?
    static int OnOwner(sd_bus_message* message, void* self, sd_bus_error*) {
        const char* name = nullptr;
        const char* before = nullptr;
        const char* owner = nullptr;
        if (sd_bus_message_read(message, "sss", &name, &before, &owner) < 0 || *owner == '\0') {
            return 0;
        }
        sd_bus* bus = sd_bus_message_get_bus(message);
        sd_bus_call_method_async(bus, nullptr, kGnomePointerBusName, kGnomePointerPath,
                                 kGnomePointerInterface, "Subscribe", nullptr, nullptr, "");
        sd_bus_call_method_async(bus, nullptr, kGnomePointerBusName, kGnomePointerPath,
                                 kGnomePointerInterface, "GetPosition", &State::OnPosition, self,
                                 "");
        return 0;
    }
};

GnomeShellSource::GnomeShellSource() : state_(std::make_unique<State>()) {}

GnomeShellSource::~GnomeShellSource() {
    Stop();
}

bool GnomeShellSource::Start(Report report, std::string& refusal) {
    Stop();
    sd_bus* raw = nullptr;
    if (int r = sd_bus_open_user(&raw); r < 0) {
        refusal = Name() + ": セッションバスに接続できません (" + BusError().Text(r) + ")";
        return false;
    }
    BusHandle bus(raw);
    sd_bus_set_method_call_timeout(raw, kCallTimeoutUs);
    // Listening first: no move between the answer and the signals is missed.
    int r = sd_bus_match_signal(raw, nullptr, kGnomePointerBusName, kGnomePointerPath,
                                kGnomePointerInterface, "PositionChanged", &State::OnPosition,
                                state_.get());
    if (r >= 0) r = sd_bus_add_match(raw, nullptr, kOwnerRule, &State::OnOwner, state_.get());
    if (r < 0) {
        refusal = Name() + ": AddMatch: " + BusError().Text(r);
        return false;
    }
    BusError callError;
    sd_bus_message* answer = nullptr;
    r = sd_bus_call_method(raw, kGnomePointerBusName, kGnomePointerPath, kGnomePointerInterface,
                           "Subscribe", callError.get(), nullptr, "");
    if (r >= 0) {
        r = sd_bus_call_method(raw, kGnomePointerBusName, kGnomePointerPath, kGnomePointerInterface,
                               "GetPosition", callError.get(), &answer, "");
    }
    MessageHandle reply(answer);
    PointerPosition at;
    if (r >= 0) r = sd_bus_message_read(answer, "ii", &at.x, &at.y);
    if (r < 0) {
        const bool absent = callError.Is(SD_BUS_ERROR_SERVICE_UNKNOWN) ||
                            callError.Is(SD_BUS_ERROR_NAME_HAS_NO_OWNER);
        refusal =
            absent ? GnomeExtensionAdvice(ShellVersion(raw)) : Name() + ": " + callError.Text(r);
        return false;
    }
    // Signals read while waiting for the answer were sent before it: older places.
    while (sd_bus_process(raw, nullptr) > 0) {
    }
    state_->arrived.Clear();
    std::string error;
    if (!state_->thread.Start(raw, error)) {
        refusal = Name() + ": " + error;
        return false;
    }
    state_->bus = std::move(bus);
    state_->report = std::move(report);
    state_->report(at, MonotonicTick());
    return true;
}

void GnomeShellSource::Before(const DeviceEvent&) {
    if (state_->report) state_->arrived.Deliver(state_->report);
}

void GnomeShellSource::Stop() {
    state_->thread.Stop();
    state_->bus.reset();
    state_->report = nullptr;
    state_->arrived.Clear();
}

std::string GnomeExtensionAdvice(std::string_view shellVersion) {
    const int major = MajorVersion(shellVersion);
    const std::string estimate = "ポインターの位置は入力デバイスの相対移動から推定して記録します。";
    if (major > 0 && major < 43) {
        return "この GNOME Shell (" + std::string(shellVersion) + ") に合う拡張機能がないため、" +
               estimate;
    }
    const auto command = [](const char* uuid) {
        return std::string("「gnome-extensions enable ") + uuid + "」";
    };
    std::string enable = command(major > 0 && major < 45 ? kGnomeLegacyExtension : kGnomeExtension);
    if (major == 0) enable += "(GNOME 43・44 では" + command(kGnomeLegacyExtension) + ")";
    return "GNOME Shell の拡張機能が応答しないため、" + estimate + "正確な位置を記録するには" +
           enable +
           "で拡張機能を有効にしてください。パッケージを入れてからまだログインし直していなければ、"
           "先にログインし直してください "
           "(シェルは新しい拡張機能をログインの時にだけ読み込みます)。";
}

std::unique_ptr<PointerSource> OpenGnomeShellSource() {
    const char* desktop = std::getenv("XDG_CURRENT_DESKTOP");
    if (desktop == nullptr || std::string_view(desktop).find("GNOME") == std::string_view::npos) {
        return nullptr;
    }
    return std::make_unique<GnomeShellSource>();
}
