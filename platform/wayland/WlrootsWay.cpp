// Plays through the virtual pointer and virtual keyboard that wlroots compositors (sway,
// Hyprland, river, labwc, Wayfire) offer: motion absolute over the output layout, the user's
// keymap uploaded, keys by the kernel's codes. A connection of its own to the compositor,
// never waited on while playing.
#include <poll.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

#include <cerrno>
#include <cstring>

#include "platform/posix/MonotonicClock.h"
#include "platform/wayland/CompositorConnection.h"
#include "platform/wayland/InputWays.h"
#include "platform/wayland/OutputLayout.h"
#include "platform/wayland/VirtualKeymap.h"
#include "wayland/virtual-keyboard-client.h"
#include "wayland/wlr-virtual-pointer-client.h"
#include "wayland/xdg-output-client.h"

namespace {

// wl_pointer's axis value for one wheel notch: libinput's 15 degrees, which wlroots passes on.
constexpr double kAxisPerNotch = 15.0;
constexpr int32_t kWheelDelta = 120;
// How long a flush waits at most for a compositor that takes nothing in.
constexpr int kFlushWaitMs = 1000;

class WlrootsWay final : public InputWay {
  public:
    ~WlrootsWay() override;
    bool Open(std::string& refusal);

    std::string Name() const override { return "wlroots の仮想入力"; }
    void MoveTo(int32_t x, int32_t y) override;
    void Button(uint32_t button, bool press) override;
    void Wheel(bool horizontal, int32_t delta) override;
    void StartPlayback() override { wheelCarry_[0] = wheelCarry_[1] = 0; }
    void Key(uint32_t key, bool press) override;
    void Flush() override;

  private:
    static void OnGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface,
                         uint32_t version);
    static void OnGlobalRemove(void* data, wl_registry*, uint32_t name);
    static void OnCapabilities(void* data, wl_seat*, uint32_t capabilities);
    static void OnKeymap(void* data, wl_keyboard*, uint32_t format, int fd, uint32_t size);
    std::string CompositorKeymap();
    bool CreateDevices();
    void ReadPending();

    wl_display* display_ = nullptr;
    wl_registry* registry_ = nullptr;
    wl_seat* seat_ = nullptr;
    uint32_t seatCapabilities_ = 0;
    zwlr_virtual_pointer_manager_v1* pointers_ = nullptr;
    zwp_virtual_keyboard_manager_v1* keyboards_ = nullptr;
    std::unique_ptr<OutputLayout> layout_ = std::make_unique<OutputLayout>();
    zwlr_virtual_pointer_v1* pointer_ = nullptr;
    zwp_virtual_keyboard_v1* keyboard_ = nullptr;
    VirtualKeymap keymap_;
    std::string compositorKeymap_;
    int32_t wheelCarry_[2] = {0, 0};  // parts of a notch not played yet: vertical, horizontal
    bool framePending_ = false;
};

WlrootsWay::~WlrootsWay() {
    if (display_ == nullptr) return;
    if (pointer_ != nullptr) zwlr_virtual_pointer_v1_destroy(pointer_);
    if (keyboard_ != nullptr) zwp_virtual_keyboard_v1_destroy(keyboard_);
    if (pointers_ != nullptr) zwlr_virtual_pointer_manager_v1_destroy(pointers_);
    if (keyboards_ != nullptr) zwp_virtual_keyboard_manager_v1_destroy(keyboards_);
    layout_.reset();
    if (seat_ != nullptr) wl_seat_destroy(seat_);
    if (registry_ != nullptr) wl_registry_destroy(registry_);
    AwaitCompositor(display_, std::chrono::seconds(1));
    wl_display_disconnect(display_);
}

void WlrootsWay::OnGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface,
                          uint32_t version) {
    static const wl_seat_listener kSeatListener = {&WlrootsWay::OnCapabilities,
                                                   [](void*, wl_seat*, const char*) {}};
    auto& way = *static_cast<WlrootsWay*>(data);
    auto bind = [&](const wl_interface* type, uint32_t most) {
        return wl_registry_bind(registry, name, type, version < most ? version : most);
    };
    if (std::strcmp(interface, wl_seat_interface.name) == 0 && way.seat_ == nullptr) {
        way.seat_ = static_cast<wl_seat*>(bind(&wl_seat_interface, 5));
        wl_seat_add_listener(way.seat_, &kSeatListener, &way);
    } else if (std::strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0) {
        way.pointers_ = static_cast<zwlr_virtual_pointer_manager_v1*>(
            bind(&zwlr_virtual_pointer_manager_v1_interface, 1));
    } else if (std::strcmp(interface, zwp_virtual_keyboard_manager_v1_interface.name) == 0) {
        way.keyboards_ = static_cast<zwp_virtual_keyboard_manager_v1*>(
            bind(&zwp_virtual_keyboard_manager_v1_interface, 1));
    } else if (std::strcmp(interface, zxdg_output_manager_v1_interface.name) == 0 &&
               !way.layout_->HasManager()) {
        way.layout_->SetManager(
            static_cast<zxdg_output_manager_v1*>(bind(&zxdg_output_manager_v1_interface, 2)));
    } else if (std::strcmp(interface, wl_output_interface.name) == 0) {
        way.layout_->AddOutput(static_cast<wl_output*>(bind(&wl_output_interface, 1)), name);
    }
}

void WlrootsWay::OnGlobalRemove(void* data, wl_registry*, uint32_t name) {
    static_cast<WlrootsWay*>(data)->layout_->RemoveGlobal(name);
}

void WlrootsWay::OnCapabilities(void* data, wl_seat*, uint32_t capabilities) {
    static_cast<WlrootsWay*>(data)->seatCapabilities_ = capabilities;
}

void WlrootsWay::OnKeymap(void* data, wl_keyboard*, uint32_t format, int fd, uint32_t size) {
    auto& way = *static_cast<WlrootsWay*>(data);
    if (format == WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1 && size > 0) {
        void* text = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
        if (text != MAP_FAILED) {
            way.compositorKeymap_.assign(static_cast<const char*>(text),
                                         strnlen(static_cast<const char*>(text), size));
            munmap(text, size);
        }
    }
    close(fd);
}

// The keymap the compositor gives its clients, where the seat has a keyboard: the user's.
std::string WlrootsWay::CompositorKeymap() {
    static const wl_keyboard_listener kKeyboardListener = {
        &WlrootsWay::OnKeymap,
        [](void*, wl_keyboard*, uint32_t, wl_surface*, wl_array*) {},
        [](void*, wl_keyboard*, uint32_t, wl_surface*) {},
        [](void*, wl_keyboard*, uint32_t, uint32_t, uint32_t, uint32_t) {},
        [](void*, wl_keyboard*, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t) {},
        [](void*, wl_keyboard*, int32_t, int32_t) {}};
    if ((seatCapabilities_ & WL_SEAT_CAPABILITY_KEYBOARD) == 0) return std::string();
    wl_keyboard* keyboard = wl_seat_get_keyboard(seat_);
    wl_keyboard_add_listener(keyboard, &kKeyboardListener, this);
    wl_display_roundtrip(display_);
    if (wl_keyboard_get_version(keyboard) >= WL_KEYBOARD_RELEASE_SINCE_VERSION) {
        wl_keyboard_release(keyboard);
    } else {
        wl_keyboard_destroy(keyboard);
    }
    return compositorKeymap_;
}

bool WlrootsWay::CreateDevices() {
    if (!keymap_.Load(CompositorKeymap())) return false;
    const std::string& text = keymap_.Text();
    const int fd = memfd_create("tapewright-keymap", MFD_CLOEXEC);
    if (fd < 0) return false;
    const bool written = write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    pointer_ = zwlr_virtual_pointer_manager_v1_create_virtual_pointer(pointers_, seat_);
    keyboard_ = zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(keyboards_, seat_);
    if (written) {
        zwp_virtual_keyboard_v1_keymap(keyboard_, WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, fd,
                                       static_cast<uint32_t>(text.size()));
    }
    close(fd);
    // A compositor that refuses the devices says so with a protocol error.
    return written && wl_display_roundtrip(display_) >= 0;
}

bool WlrootsWay::Open(std::string& refusal) {
    static const wl_registry_listener kRegistryListener = {&WlrootsWay::OnGlobal,
                                                           &WlrootsWay::OnGlobalRemove};
    display_ = wl_display_connect(nullptr);
    if (display_ == nullptr) {
        refusal = "wlroots: Wayland のディスプレイ (WAYLAND_DISPLAY) に接続できません。";
        return false;
    }
    registry_ = wl_display_get_registry(display_);
    wl_registry_add_listener(registry_, &kRegistryListener, this);
    wl_display_roundtrip(display_);
    if (seat_ == nullptr || pointers_ == nullptr || keyboards_ == nullptr ||
        !layout_->HasManager()) {
        refusal =
            "wlroots: このデスクトップには仮想ポインター・仮想キーボード (wlroots "
            "のプロトコル) がありません。";
        return false;
    }
    wl_display_roundtrip(display_);  // the seat's capabilities and the outputs' places
    if (!CreateDevices()) {
        refusal = "wlroots: 仮想ポインター・仮想キーボードを作れません。";
        return false;
    }
    return true;
}

// Takes in what the compositor sent (outputs that came, went or moved) without waiting.
void WlrootsWay::ReadPending() {
    ReadCompositorEvents(display_);
}

void WlrootsWay::MoveTo(int32_t x, int32_t y) {
    ReadPending();
    const LayoutBox box = layout_->Box();
    uint32_t boxX = 0;
    uint32_t boxY = 0;
    if (!PlaceInBox(box, x, y, boxX, boxY)) return;
    zwlr_virtual_pointer_v1_motion_absolute(pointer_, MonotonicTick(), boxX, boxY,
                                            static_cast<uint32_t>(box.width),
                                            static_cast<uint32_t>(box.height));
    framePending_ = true;
}

void WlrootsWay::Button(uint32_t button, bool press) {
    zwlr_virtual_pointer_v1_button(
        pointer_, MonotonicTick(), button,
        press ? WL_POINTER_BUTTON_STATE_PRESSED : WL_POINTER_BUTTON_STATE_RELEASED);
    framePending_ = true;
}

// The axis value goes on exactly, parts of a notch too; the whole notches that the parts add
// up to go as discrete steps, for clients that scroll by notches.
void WlrootsWay::Wheel(bool horizontal, int32_t delta) {
    if (delta == 0) return;
    int32_t& carry = wheelCarry_[horizontal ? 1 : 0];
    carry += delta;
    const int32_t notches = carry / kWheelDelta;
    carry -= notches * kWheelDelta;
    // A Windows delta is positive away from the user; wl_pointer's vertical axis is positive
    // downwards. Horizontal: both positive to the right.
    const int32_t sign = horizontal ? 1 : -1;
    const uint32_t axis =
        horizontal ? WL_POINTER_AXIS_HORIZONTAL_SCROLL : WL_POINTER_AXIS_VERTICAL_SCROLL;
    const wl_fixed_t value = wl_fixed_from_double(sign * delta * kAxisPerNotch / kWheelDelta);
    zwlr_virtual_pointer_v1_axis_source(pointer_, WL_POINTER_AXIS_SOURCE_WHEEL);
    if (notches != 0) {
        zwlr_virtual_pointer_v1_axis_discrete(pointer_, MonotonicTick(), axis, value,
                                              sign * notches);
    } else {
        zwlr_virtual_pointer_v1_axis(pointer_, MonotonicTick(), axis, value);
    }
    framePending_ = true;
}

// wlroots feeds these keys with update_state=false: without the modifiers sent here, Shift+a
// would arrive as "a".
void WlrootsWay::Key(uint32_t key, bool press) {
    zwp_virtual_keyboard_v1_key(
        keyboard_, MonotonicTick(), key,
        press ? WL_KEYBOARD_KEY_STATE_PRESSED : WL_KEYBOARD_KEY_STATE_RELEASED);
    if (keymap_.Key(key, press)) {
        const KeyModifiers modifiers = keymap_.Modifiers();
        zwp_virtual_keyboard_v1_modifiers(keyboard_, modifiers.depressed, modifiers.latched,
                                          modifiers.locked, modifiers.group);
    }
}

void WlrootsWay::Flush() {
    ReadPending();
    if (framePending_) zwlr_virtual_pointer_v1_frame(pointer_);
    framePending_ = false;
    // Waits only while the socket is full, the compositor behind: libwayland ends the
    // connection when a request no longer fits in its own buffer behind an unsent rest.
    while (wl_display_flush(display_) < 0 && errno == EAGAIN) {
        pollfd writable{wl_display_get_fd(display_), POLLOUT, 0};
        if (poll(&writable, 1, kFlushWaitMs) <= 0) return;
    }
}

}  // namespace

std::unique_ptr<InputWay> OpenWlrootsWay(std::string& refusal) {
    auto way = std::make_unique<WlrootsWay>();
    if (!way->Open(refusal)) return nullptr;
    return way;
}
