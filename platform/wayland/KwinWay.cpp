// Plays through KWin's fake input (org_kde_kwin_fake_input) on a Wayland connection of its
// own. KWin offers the global only to a program that an installed desktop file names: its
// Exec is this program's path and X-KDE-Wayland-Interfaces lists the interface.
#include <poll.h>
#include <unistd.h>
#include <wayland-client.h>

#include <cerrno>
#include <cstring>

#include "platform/wayland/CompositorConnection.h"
#include "platform/wayland/InputWays.h"
#include "wayland/fake-input-client.h"

namespace {

constexpr const char* kFakeInput = "org_kde_kwin_fake_input";
constexpr const char* kNoDisplay = "KWin の fake input: Wayland のディスプレイに接続できません。";
// keyboard_key came with version 4, pointer_motion_absolute with 3.
constexpr uint32_t kFakeInputVersion = 4;
// The longest a flush waits for KWin to take in what the socket holds.
constexpr int kFlushWaitMs = 1000;

// What the registry offered this program.
struct Globals {
    uint32_t fakeInputName = 0;
    uint32_t fakeInputVersion = 0;
    bool kde = false;  // KWin's own unrestricted globals: the compositor is KWin

    static void Add(void* data, wl_registry*, uint32_t name, const char* interface,
                    uint32_t version) {
        auto* globals = static_cast<Globals*>(data);
        if (std::strcmp(interface, kFakeInput) == 0) {
            globals->fakeInputName = name;
            globals->fakeInputVersion = version;
        } else if (std::strncmp(interface, "org_kde_", 8) == 0) {
            globals->kde = true;
        }
    }
    static void Remove(void*, wl_registry*, uint32_t) {}
};

constexpr wl_registry_listener kRegistryListener = {&Globals::Add, &Globals::Remove};

// KWin, like libinput for a real wheel, counts 15 to a notch; positive scrolls down or right.
// A Windows delta of 120 a notch is thus -delta / 8 vertically, exact in 24.8 fixed point
// for every delta, so each part of a notch goes on as it is and the parts add up exactly.
wl_fixed_t AxisValue(bool horizontal, int32_t delta) {
    const wl_fixed_t value = delta * (256 / 8);
    return horizontal ? value : -value;
}

class KwinWay final : public InputWay {
  public:
    KwinWay(wl_display* display, org_kde_kwin_fake_input* input)
        : display_(display), input_(input) {}
    ~KwinWay() override {
        org_kde_kwin_fake_input_destroy(input_);
        AwaitCompositor(display_, std::chrono::milliseconds(kFlushWaitMs));
        wl_display_disconnect(display_);
    }
    KwinWay(const KwinWay&) = delete;
    KwinWay& operator=(const KwinWay&) = delete;

    std::string Name() const override { return "KWin の fake input"; }
    void MoveTo(int32_t x, int32_t y) override {
        org_kde_kwin_fake_input_pointer_motion_absolute(input_, wl_fixed_from_int(x),
                                                        wl_fixed_from_int(y));
    }
    void Button(uint32_t button, bool press) override {
        org_kde_kwin_fake_input_button(
            input_, button,
            press ? WL_POINTER_BUTTON_STATE_PRESSED : WL_POINTER_BUTTON_STATE_RELEASED);
    }
    void Wheel(bool horizontal, int32_t delta) override {
        const uint32_t axis =
            horizontal ? WL_POINTER_AXIS_HORIZONTAL_SCROLL : WL_POINTER_AXIS_VERTICAL_SCROLL;
        if (delta != 0) org_kde_kwin_fake_input_axis(input_, axis, AxisValue(horizontal, delta));
    }
    void Key(uint32_t key, bool press) override {
        org_kde_kwin_fake_input_keyboard_key(
            input_, key, press ? WL_KEYBOARD_KEY_STATE_PRESSED : WL_KEYBOARD_KEY_STATE_RELEASED);
    }
    // Writes the requests. It waits only while the socket is full, KWin behind: libwayland
    // ends the connection when a request no longer fits in its own buffer behind an unsent
    // rest.
    void Flush() override {
        ReadPending();
        while (wl_display_flush(display_) < 0 && errno == EAGAIN) {
            pollfd writable{wl_display_get_fd(display_), POLLOUT, 0};
            if (poll(&writable, 1, kFlushWaitMs) <= 0) return;
        }
    }

  private:
    void ReadPending() { ReadCompositorEvents(display_); }

    wl_display* display_;
    org_kde_kwin_fake_input* input_;
};

std::string ProgramPath() {
    char path[4096];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    return length > 0 ? std::string(path, static_cast<std::size_t>(length)) : "tapewright";
}

std::string Refusal(const Globals& globals) {
    if (!globals.kde) return "KWin の fake input: このデスクトップは KWin ではありません。";
    if (globals.fakeInputName == 0) {
        return "KWin の fake input: KWin が使用を許可していません。Exec=" + ProgramPath() +
               " と X-KDE-Wayland-Interfaces=org_kde_kwin_fake_input を持つデスクトップ"
               "ファイル (パッケージの tapewright.desktop) を /usr/share/applications か "
               "~/.local/share/applications に置き、kbuildsycoca5 を実行してからログインし"
               "直してください。";
    }
    return "KWin の fake input: この KWin の fake input は版 " +
           std::to_string(globals.fakeInputVersion) + " で古すぎます (版 4 以上が必要)。";
}

}  // namespace

std::unique_ptr<InputWay> OpenKwinWay(std::string& refusal) {
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr) {
        refusal = kNoDisplay;
        return nullptr;
    }
    Globals globals;
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &kRegistryListener, &globals);
    const bool answered = wl_display_roundtrip(display) >= 0;
    if (!answered || globals.fakeInputName == 0 || globals.fakeInputVersion < kFakeInputVersion) {
        refusal = answered ? Refusal(globals) : kNoDisplay;
        wl_registry_destroy(registry);
        wl_display_disconnect(display);
        return nullptr;
    }
    auto* input = static_cast<org_kde_kwin_fake_input*>(wl_registry_bind(
        registry, globals.fakeInputName, &org_kde_kwin_fake_input_interface, kFakeInputVersion));
    org_kde_kwin_fake_input_authenticate(input, "Tapewright",
                                         "記録したキーボードとマウスの操作を再生します");
    // The registry's listener points at this function's globals: nothing more may reach it.
    wl_registry_destroy(registry);
    wl_display_flush(display);
    return std::make_unique<KwinWay>(display, input);
}
