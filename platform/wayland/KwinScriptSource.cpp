#include "platform/wayland/KwinScriptSource.h"

#include <stdlib.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <utility>

#include "platform/wayland/ArrivedPositions.h"
#include "platform/wayland/BusThread.h"
#include "platform/wayland/KwinScripting.h"
#include "platform/wayland/SessionBus.h"

namespace {

// Loading a script answers in milliseconds; a hung KWin must not hang the Record click long.
constexpr uint64_t kCallTimeoutUs = 2'000'000;
// The script reports where the pointer is as soon as it runs.
constexpr std::chrono::milliseconds kFirstReportTimeout{3000};

// Reads (ii), as KWin 5 sends a QPoint's members, or (dd), as KWin 6 sends a QPointF's.
bool ReadPosition(sd_bus_message* message, PointerPosition& at) {
    const char* signature = sd_bus_message_get_signature(message, 1);
    if (signature != nullptr && std::strcmp(signature, "ii") == 0) {
        return sd_bus_message_read(message, "ii", &at.x, &at.y) >= 0;
    }
    double x = 0;
    double y = 0;
    if (signature == nullptr || std::strcmp(signature, "dd") != 0 ||
        sd_bus_message_read(message, "dd", &x, &y) < 0 || !std::isfinite(x) || !std::isfinite(y)) {
        return false;
    }
    at =
        PointerPosition{static_cast<int32_t>(std::lround(x)), static_cast<int32_t>(std::lround(y))};
    return true;
}

// A private file in the user's runtime directory (else /tmp) holding text; empty on failure.
std::string WriteScriptFile(const std::string& text, std::string& error) {
    const char* runtime = getenv("XDG_RUNTIME_DIR");
    std::string path = std::string(runtime != nullptr && *runtime != '\0' ? runtime : "/tmp") +
                       "/tapewright-kwin-XXXXXX.js";
    const int fd = mkstemps(path.data(), 3);
    if (fd < 0) {
        error = path + ": " + std::strerror(errno);
        return std::string();
    }
    const bool written = write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    if (!written) error = path + ": " + std::strerror(errno);
    close(fd);
    if (!written) unlink(path.c_str());
    return written ? path : std::string();
}

// The unique name that owns org.kde.KWin: only its calls are taken.
std::string KwinOwner(sd_bus* bus) {
    sd_bus_message* raw = nullptr;
    const char* owner = nullptr;
    int r = sd_bus_call_method(bus, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                               "org.freedesktop.DBus", "GetNameOwner", nullptr, &raw, "s",
                               "org.kde.KWin");
    MessageHandle reply(raw);
    if (r >= 0) r = sd_bus_message_read(raw, "s", &owner);
    return r >= 0 ? owner : std::string();
}

// Each placeholder occurs once.
constexpr char kScriptTemplate[] = R"(// Tells Tapewright where the pointer is while it records.
const target = "@TARGET@";
let moves = 0;
function report() {
    const at = workspace.cursorPos;
    callDBus(target, "@PATH@", "@INTERFACE@", "@METHOD@", at.x, at.y);
    // Tapewright gone without unloading this script (it crashed): stop reporting.
    if (++moves % 256 === 0) {
        callDBus("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                 "NameHasOwner", target, function (owned) {
                     if (!owned) workspace.cursorPosChanged.disconnect(report);
                 });
    }
}
workspace.cursorPosChanged.connect(report);
report();
)";

}  // namespace

struct KwinScriptSource::State {
    BusHandle bus;
    BusThread thread;
    Report report;
    ArrivedPositions arrived;
    std::string kwin;        // KWin's unique name
    std::string scriptName;  // loaded under it while non-empty
    std::string scriptFile;

    // On the bus thread: every call gets its answer, as the script's callDBus waits for one.
    static int OnCall(sd_bus_message* message, void* self, sd_bus_error*) {
        if (!sd_bus_message_is_method_call(message, kKwinPointerInterface, kKwinPointerMethod)) {
            return 0;
        }
        auto* state = static_cast<State*>(self);
        const char* sender = sd_bus_message_get_sender(message);
        PointerPosition at;
        if (sender != nullptr && state->kwin == sender && ReadPosition(message, at)) {
            state->arrived.Add(at);
        }
        sd_bus_reply_method_return(message, "");
        return 1;
    }

    KwinScriptLoad Load(std::string& error) {
        scriptFile = WriteScriptFile(KwinPointerScript(UniqueName()), error);
        if (scriptFile.empty()) return KwinScriptLoad::Failed;
        const std::string name = "tapewright-pointer-" + std::to_string(getpid());
        const KwinScriptLoad loaded = LoadKwinScript(bus.get(), scriptFile, name, error);
        if (loaded == KwinScriptLoad::Running) scriptName = name;
        return loaded;
    }

    std::string UniqueName() {
        const char* unique = nullptr;
        sd_bus_get_unique_name(bus.get(), &unique);
        return unique != nullptr ? unique : "";
    }

    // Stops reading, unloads the script and closes the connection.
    void End() {
        thread.Stop();
        if (!scriptName.empty()) UnloadKwinScript(bus.get(), scriptName);
        scriptName.clear();
        if (!scriptFile.empty()) unlink(scriptFile.c_str());
        scriptFile.clear();
        bus.reset();
        report = nullptr;
        arrived.Clear();
    }
};

KwinScriptSource::KwinScriptSource() : state_(std::make_unique<State>()) {}

KwinScriptSource::~KwinScriptSource() {
    Stop();
}

bool KwinScriptSource::Start(Report report, std::string& refusal) {
    Stop();
    sd_bus* raw = nullptr;
    if (int r = sd_bus_open_user(&raw); r < 0) {
        refusal = Name() + ": セッションバスに接続できません (" + BusError().Text(r) + ")";
        return false;
    }
    State& state = *state_;
    state.bus.reset(raw);
    sd_bus_set_method_call_timeout(raw, kCallTimeoutUs);
    state.kwin = KwinOwner(raw);
    std::string error;
    KwinScriptLoad loaded = KwinScriptLoad::Absent;
    if (!state.kwin.empty()) {
        const int r = sd_bus_add_object(raw, nullptr, kKwinPointerPath, &State::OnCall, &state);
        loaded = r < 0 ? KwinScriptLoad::Failed : state.Load(error);
        if (r < 0) error = kKwinPointerPath + std::string(": ") + BusError().Text(r);
    }
    if (loaded == KwinScriptLoad::Running && !state.thread.Start(raw, error)) {
        loaded = KwinScriptLoad::Failed;
    }
    if (loaded == KwinScriptLoad::Running && !state.arrived.WaitForOne(kFirstReportTimeout)) {
        loaded = KwinScriptLoad::Failed;
        error = "KWin のスクリプトが位置を知らせません。";
    }
    if (loaded != KwinScriptLoad::Running) {
        refusal = Name() + ": " +
                  (loaded == KwinScriptLoad::Absent
                       ? "KWin のスクリプト機能 (org.kde.KWin /Scripting) がセッションバスにない"
                         "ため、ポインターの位置は入力デバイスの相対移動から推定して記録します。"
                       : error);
        state.End();
        return false;
    }
    state.report = std::move(report);
    state.arrived.Deliver(state.report);
    return true;
}

void KwinScriptSource::Before(const DeviceEvent&) {
    if (state_->report) state_->arrived.Deliver(state_->report);
}

void KwinScriptSource::Stop() {
    if (state_->bus) state_->End();
}

std::string KwinPointerScript(std::string_view busName) {
    std::string name;
    for (char c : busName) {
        if (std::strchr(":.0123456789", c) != nullptr) name += c;  // a unique name's letters
    }
    std::string script = kScriptTemplate;
    for (const auto& [placeholder, value] : {std::pair<std::string, std::string>{"@TARGET@", name},
                                             {"@PATH@", kKwinPointerPath},
                                             {"@INTERFACE@", kKwinPointerInterface},
                                             {"@METHOD@", kKwinPointerMethod}}) {
        script.replace(script.find(placeholder), placeholder.size(), value);
    }
    return script;
}

std::unique_ptr<PointerSource> OpenKwinScriptSource() {
    const char* desktop = getenv("XDG_CURRENT_DESKTOP");
    if (desktop == nullptr || std::string_view(desktop).find("KDE") == std::string_view::npos) {
        return nullptr;
    }
    return std::make_unique<KwinScriptSource>();
}
