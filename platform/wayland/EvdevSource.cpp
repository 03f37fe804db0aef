#include "platform/wayland/EvdevSource.h"

#include <fcntl.h>
#include <libevdev/libevdev.h>
#include <libudev.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <map>
#include <optional>
#include <vector>

#include "engine/HookErrors.h"

namespace {

// What the user must do when no keyboard or mouse could be opened.
std::string NoDeviceMessage(bool denied, int error) {
    if (denied) {
        return "/dev/input のキーボードとマウスを読む権限がないため、記録できません。ユーザーを"
               "グループ input に加えて (sudo usermod -aG input $USER)、ログインし直してください。";
    }
    if (error != 0) {
        return std::string("/dev/input のキーボードとマウスを開けないため、記録できません (") +
               std::strerror(error) + ")。";
    }
    return "/dev/input にキーボードもマウスも見つからないため、記録できません。";
}

constexpr const char* kEventNodePrefix = "/dev/input/event";

// Stamps further than this from now are not trusted (a clock that is not the kernel's): the
// event is stamped on receipt.
constexpr int64_t kTrustedAgeUs = 60'000'000;

int64_t NowUs(clockid_t clock) {
    timespec now{};
    clock_gettime(clock, &now);
    return static_cast<int64_t>(now.tv_sec) * 1'000'000 + now.tv_nsec / 1000;
}

bool StartsWith(const char* text, const char* prefix) {
    return text != nullptr && std::strncmp(text, prefix, std::strlen(prefix)) == 0;
}

// A keyboard (any key a PC keyboard can have) or a mouse (a left button or relative motion
// or wheel); not a joystick or a game pad, whose buttons are no one's keys.
bool IsKeyboardOrMouse(const libevdev* device) {
    if (libevdev_has_event_code(device, EV_KEY, BTN_JOYSTICK) ||
        libevdev_has_event_code(device, EV_KEY, BTN_GAMEPAD)) {
        return false;
    }
    for (unsigned code = KEY_ESC; code < KEY_MICMUTE; ++code) {
        if (libevdev_has_event_code(device, EV_KEY, code)) return true;
    }
    return libevdev_has_event_code(device, EV_KEY, BTN_LEFT) ||
           libevdev_has_event_code(device, EV_REL, REL_X) ||
           libevdev_has_event_code(device, EV_REL, REL_WHEEL);
}

// The program's own uinput devices, by name and by id: what it plays is not recorded.
bool IsOwnDevice(const libevdev* device) {
    return StartsWith(libevdev_get_name(device), kOwnDeviceNamePrefix) ||
           (libevdev_get_id_bustype(device) == BUS_VIRTUAL &&
            libevdev_get_id_vendor(device) == kOwnDeviceVendor &&
            libevdev_get_id_product(device) == kOwnDeviceProduct);
}

struct Device {
    int fd = -1;
    libevdev* evdev = nullptr;
    bool monotonic = false;  // the kernel stamps on CLOCK_MONOTONIC
};

enum class OpenResult { Opened, Skipped, Denied, Failed };

}  // namespace

struct EvdevSource::State {
    explicit State(DescriptorWatch& w) : watch(w) {}

    OpenResult Open(const std::string& node);
    void Close(const std::string& node);
    void CloseAll();
    bool StartMonitor();
    void OnMonitor();
    void Read(const std::string& node);
    void Deliver(const Sink& to, const Device& device, const input_event& event);
    uint32_t StampOf(const Device& device, const input_event& event);

    DescriptorWatch& watch;
    std::shared_ptr<Sink> sink;
    udev* context = nullptr;
    udev_monitor* monitor = nullptr;
    std::map<std::string, Device> devices;  // by device node
    bool running = false;
    uint64_t run = 0;  // moves on at every Start and Stop: a batch in progress then ends
    int delivering = 0;
    int lastError = 0;  // the last open's errno, for the message when nothing opens
    std::optional<uint32_t> lastTick;
};

OpenResult EvdevSource::State::Open(const std::string& node) {
    if (devices.count(node) != 0) return OpenResult::Opened;
    const int fd = open(node.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        lastError = errno;
        return errno == EACCES || errno == EPERM ? OpenResult::Denied : OpenResult::Failed;
    }
    libevdev* evdev = nullptr;
    const int rc = libevdev_new_from_fd(fd, &evdev);
    if (rc < 0) {
        lastError = -rc;
        close(fd);
        return OpenResult::Failed;
    }
    if (IsOwnDevice(evdev) || !IsKeyboardOrMouse(evdev)) {
        libevdev_free(evdev);
        close(fd);
        return OpenResult::Skipped;
    }
    // Without it (old kernels, test beds) stamps are on the wall clock and are moved over.
    const bool monotonic = libevdev_set_clock_id(evdev, CLOCK_MONOTONIC) == 0;
    devices[node] = Device{fd, evdev, monotonic};
    watch.Watch(fd, [this, node] { RunGuarded([&] { Read(node); }); });
    return OpenResult::Opened;
}

void EvdevSource::State::Close(const std::string& node) {
    auto found = devices.find(node);
    if (found == devices.end()) return;
    watch.Unwatch(found->second.fd);
    libevdev_free(found->second.evdev);
    close(found->second.fd);
    devices.erase(found);
}

void EvdevSource::State::CloseAll() {
    while (!devices.empty()) Close(devices.begin()->first);
    if (monitor != nullptr) {
        watch.Unwatch(udev_monitor_get_fd(monitor));
        monitor = udev_monitor_unref(monitor);
    }
    if (context != nullptr) context = udev_unref(context);
}

// Devices plugged in later arrive through udev's own events, once their node is set up.
bool EvdevSource::State::StartMonitor() {
    monitor = udev_monitor_new_from_netlink(context, "udev");
    if (monitor == nullptr) return false;
    if (udev_monitor_filter_add_match_subsystem_devtype(monitor, "input", nullptr) < 0 ||
        udev_monitor_enable_receiving(monitor) < 0) {
        monitor = udev_monitor_unref(monitor);
        return false;
    }
    watch.Watch(udev_monitor_get_fd(monitor), [this] { RunGuarded([&] { OnMonitor(); }); });
    return true;
}

void EvdevSource::State::OnMonitor() {
    udev_device* device = udev_monitor_receive_device(monitor);
    if (device == nullptr) return;
    const char* node = udev_device_get_devnode(device);
    const char* action = udev_device_get_action(device);
    if (StartsWith(node, kEventNodePrefix) && action != nullptr) {
        if (std::strcmp(action, "add") == 0) Open(node);
        if (std::strcmp(action, "remove") == 0) Close(node);
    }
    udev_device_unref(device);
}

// The kernel's stamp; on the wall clock, moved onto the monotonic one. Records keep the
// order they are read in: a stamp never goes back before the one handed over last (devices
// read one after the other, the two clocks read apart).
uint32_t EvdevSource::State::StampOf(const Device& device, const input_event& event) {
    int64_t stamp =
        static_cast<int64_t>(event.input_event_sec) * 1'000'000 + event.input_event_usec;
    if (!device.monotonic) {
        const int64_t age = NowUs(CLOCK_REALTIME) - stamp;
        const bool trusted = age >= 0 && age < kTrustedAgeUs;
        stamp = NowUs(CLOCK_MONOTONIC) - (trusted ? age : 0);
    }
    uint32_t tick = static_cast<uint32_t>(stamp / 1000);
    if (lastTick && static_cast<int32_t>(tick - *lastTick) < 0) tick = *lastTick;
    lastTick = tick;
    return tick;
}

void EvdevSource::State::Deliver(const Sink& to, const Device& device, const input_event& event) {
    const bool wanted = event.type == EV_KEY || event.type == EV_REL ||
                        (event.type == EV_SYN && event.code == SYN_REPORT);
    if (!wanted) return;
    // An error in the sink is reported and the batch goes on: libevdev may already hold the
    // rest, which no readable descriptor would announce again.
    RunGuarded([&] {
        to(DeviceEvent{event.type, event.code, event.value, StampOf(device, event)});
    });
}

// Reads what the device holds. After a SYN_DROPPED (the reader fell behind) libevdev hands
// over the changes of state that were lost, so that a key released meanwhile is released.
// A device that is gone (ENODEV) is closed; the others go on.
void EvdevSource::State::Read(const std::string& node) {
    if (!running || delivering > 0) return;
    const uint64_t thisRun = run;
    const std::shared_ptr<Sink> batchSink = sink;  // a sink that starts anew replaces it
    ++delivering;
    struct Leave {
        int& count;
        ~Leave() { --count; }
    } leave{delivering};
    unsigned flags = LIBEVDEV_READ_FLAG_NORMAL;
    for (;;) {
        auto found = devices.find(node);
        if (found == devices.end()) return;
        const Device device = found->second;
        input_event event{};
        const int rc = libevdev_next_event(device.evdev, flags, &event);
        if (rc == LIBEVDEV_READ_STATUS_SYNC && flags == LIBEVDEV_READ_FLAG_NORMAL) {
            flags = LIBEVDEV_READ_FLAG_SYNC;  // event is the SYN_DROPPED itself
        } else if (rc == LIBEVDEV_READ_STATUS_SUCCESS || rc == LIBEVDEV_READ_STATUS_SYNC) {
            Deliver(*batchSink, device, event);
        } else if (rc == -EAGAIN && flags == LIBEVDEV_READ_FLAG_SYNC) {
            flags = LIBEVDEV_READ_FLAG_NORMAL;
        } else if (rc == -EAGAIN || rc == -EINTR) {
            return;
        } else {
            Close(node);
            return;
        }
        if (run != thisRun) return;
    }
}

EvdevSource::EvdevSource(DescriptorWatch& watch) : state_(std::make_unique<State>(watch)) {}

EvdevSource::~EvdevSource() {
    Stop();
}

bool EvdevSource::Start(Sink sink, std::string& error) {
    if (state_->running) return true;
    State& state = *state_;
    state.context = udev_new();
    if (state.context == nullptr) {
        error = "入力デバイスの一覧 (udev) を読めないため、記録できません。";
        return false;
    }
    state.StartMonitor();  // first, so that no device plugged in meanwhile is missed
    state.lastError = 0;
    bool denied = false;
    udev_enumerate* enumerate = udev_enumerate_new(state.context);
    udev_enumerate_add_match_subsystem(enumerate, "input");
    udev_enumerate_scan_devices(enumerate);
    udev_list_entry* entry = nullptr;
    udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(enumerate)) {
        udev_device* device =
            udev_device_new_from_syspath(state.context, udev_list_entry_get_name(entry));
        if (device == nullptr) continue;
        const char* node = udev_device_get_devnode(device);
        if (StartsWith(node, kEventNodePrefix)) denied |= state.Open(node) == OpenResult::Denied;
        udev_device_unref(device);
    }
    udev_enumerate_unref(enumerate);
    if (state.devices.empty()) {
        error = NoDeviceMessage(denied, state.lastError);
        state.CloseAll();
        return false;
    }
    state.sink = std::make_shared<Sink>(std::move(sink));
    state.lastTick.reset();
    state.running = true;
    ++state.run;
    return true;
}

void EvdevSource::ReadPending() {
    State& state = *state_;
    if (!state.running || state.delivering > 0) return;
    const uint64_t thisRun = state.run;
    std::vector<std::string> nodes;
    for (const auto& [node, device] : state.devices) nodes.push_back(node);
    for (const std::string& node : nodes) {
        state.Read(node);
        if (state.run != thisRun) return;
    }
}

void EvdevSource::Stop() {
    State& state = *state_;
    state.running = false;
    ++state.run;
    state.sink.reset();  // a batch in progress holds its own
    state.CloseAll();
}

bool EvdevSource::Running() const {
    return state_->running;
}
