// A native Wayland client for end-to-end tests: one fullscreen xdg-shell window with a plain
// shm buffer that prints, one line per event, flushed at once, what the compositor delivers
// to it. Tests of every compositor read these lines; keep the format stable.
//
//   ready                       configured fullscreen and drawn, and with keyboard focus where
//                               the seat has a keyboard then (printed once)
//   size <w> <h>                the window's size, at each configure that changes it
//   keyboard-enter              keyboard focus came (again)
//   keyboard-leave
//   enter <x> <y>               pointer focus came, at surface position x, y (integers)
//   leave
//   motion <x> <y>              surface position, integers (rounded down)
//   button <evdev code> <1|0>   pressed 1, released 0
//   axis <0|1> <value>          0 vertical, 1 horizontal; the value as a decimal number
//   discrete <0|1> <steps>      where the compositor sends axis_discrete
//   value120 <0|1> <value>      where the compositor sends axis_value120
//   key <evdev code> <1|0>
//   text <utf-8>                after a key press that gives printable text (Shift+a: "A")
//   modifiers <depressed> <latched> <locked> <group>
//
// Usage: tapewright_wayland_probe [--output NAME] [--stamps]
//   --output NAME  fullscreen on the output of that xdg-output name; else where the
//                  compositor puts it
//   --stamps       each line ends in " @<microseconds> <time>": CLOCK_MONOTONIC at its
//                  arrival, and the event's own time field in milliseconds (0 for none)
// Ends when the compositor goes.
#include <linux/input-event-codes.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "wayland/xdg-output-client.h"
#include "wayland/xdg-shell-client.h"

namespace {

bool stamps = false;
uint32_t eventTime = 0;  // the time field of the event being printed, 0 for none

void Print(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vprintf(format, args);
    va_end(args);
    if (stamps) {
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        std::printf(" @%lld %u", static_cast<long long>(now.tv_sec) * 1000000 + now.tv_nsec / 1000,
                    eventTime);
        eventTime = 0;
    }
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

struct Output {
    wl_output* output = nullptr;
    zxdg_output_v1* xdg = nullptr;
    std::string name;
};

struct Probe {
    wl_display* display = nullptr;
    wl_compositor* compositor = nullptr;
    wl_shm* shm = nullptr;
    xdg_wm_base* wmBase = nullptr;
    wl_seat* seat = nullptr;
    zxdg_output_manager_v1* outputManager = nullptr;
    std::vector<std::unique_ptr<Output>> outputs;
    wl_surface* surface = nullptr;
    xdg_surface* xdgSurface = nullptr;
    xdg_toplevel* toplevel = nullptr;
    wl_pointer* pointer = nullptr;
    wl_keyboard* keyboard = nullptr;
    xkb_context* xkb = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    xkb_keymap* keymap = nullptr;
    xkb_state* state = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    int32_t pendingWidth = 0;
    int32_t pendingHeight = 0;
    bool drawn = false;
    bool fullscreen = false;  // the compositor has made the window fullscreen
    bool keyboardFocus = false;
    bool ready = false;
};

void CheckReady(Probe& probe) {
    if (probe.ready || !probe.drawn || !probe.fullscreen) return;
    if (probe.keyboard != nullptr && !probe.keyboardFocus) return;
    probe.ready = true;
    Print("ready");
}

// A buffer of the window's size in one colour; the compositor keeps it as long as it needs.
wl_buffer* MakeBuffer(Probe& probe, int32_t width, int32_t height) {
    const int32_t stride = width * 4;
    const size_t size = static_cast<size_t>(stride) * static_cast<size_t>(height);
    int fd = memfd_create("tapewright-probe", MFD_CLOEXEC);
    if (fd < 0 || ftruncate(fd, static_cast<off_t>(size)) != 0) {
        Print("error shm");
        return nullptr;
    }
    void* pixels = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (pixels != MAP_FAILED) {
        auto* words = static_cast<uint32_t*>(pixels);
        for (size_t i = 0; i < size / 4; ++i) words[i] = 0xff3060a0;
        munmap(pixels, size);
    }
    wl_shm_pool* pool = wl_shm_create_pool(probe.shm, fd, static_cast<int32_t>(size));
    wl_buffer* buffer =
        wl_shm_pool_create_buffer(pool, 0, width, height, stride, WL_SHM_FORMAT_XRGB8888);
    wl_shm_pool_destroy(pool);
    close(fd);
    return buffer;
}

void OnPing(void*, xdg_wm_base* base, uint32_t serial) {
    xdg_wm_base_pong(base, serial);
}
const xdg_wm_base_listener kWmBaseListener = {OnPing};

void OnToplevelConfigure(void* data, xdg_toplevel*, int32_t width, int32_t height,
                         wl_array* states) {
    auto& probe = *static_cast<Probe*>(data);
    probe.pendingWidth = width;
    probe.pendingHeight = height;
    const auto* state = static_cast<const uint32_t*>(states->data);
    for (size_t i = 0; i < states->size / sizeof *state; ++i) {
        if (state[i] == XDG_TOPLEVEL_STATE_FULLSCREEN) probe.fullscreen = true;
    }
}
void OnToplevelClose(void*, xdg_toplevel*) {}
void OnToplevelBounds(void*, xdg_toplevel*, int32_t, int32_t) {}
void OnToplevelCapabilities(void*, xdg_toplevel*, wl_array*) {}
const xdg_toplevel_listener kToplevelListener = {OnToplevelConfigure, OnToplevelClose,
                                                 OnToplevelBounds, OnToplevelCapabilities};

void OnSurfaceConfigure(void* data, xdg_surface* surface, uint32_t serial) {
    auto& probe = *static_cast<Probe*>(data);
    xdg_surface_ack_configure(surface, serial);
    const int32_t width = probe.pendingWidth > 0 ? probe.pendingWidth : 640;
    const int32_t height = probe.pendingHeight > 0 ? probe.pendingHeight : 480;
    if (width != probe.width || height != probe.height || !probe.drawn) {
        probe.width = width;
        probe.height = height;
        Print("size %d %d", width, height);
        if (wl_buffer* buffer = MakeBuffer(probe, width, height)) {
            wl_surface_attach(probe.surface, buffer, 0, 0);
            wl_surface_damage(probe.surface, 0, 0, width, height);
        }
    }
    wl_surface_commit(probe.surface);
    probe.drawn = true;
    CheckReady(probe);
}
const xdg_surface_listener kSurfaceListener = {OnSurfaceConfigure};

void OnEnter(void*, wl_pointer*, uint32_t, wl_surface*, wl_fixed_t x, wl_fixed_t y) {
    Print("enter %d %d", wl_fixed_to_int(x), wl_fixed_to_int(y));
}
void OnLeave(void*, wl_pointer*, uint32_t, wl_surface*) {
    Print("leave");
}
void OnMotion(void*, wl_pointer*, uint32_t time, wl_fixed_t x, wl_fixed_t y) {
    eventTime = time;
    Print("motion %d %d", wl_fixed_to_int(x), wl_fixed_to_int(y));
}
void OnButton(void*, wl_pointer*, uint32_t, uint32_t time, uint32_t button, uint32_t state) {
    eventTime = time;
    Print("button %u %d", button, state == WL_POINTER_BUTTON_STATE_PRESSED ? 1 : 0);
}
void OnAxis(void*, wl_pointer*, uint32_t time, uint32_t axis, wl_fixed_t value) {
    eventTime = time;
    Print("axis %u %g", axis, wl_fixed_to_double(value));
}
void OnFrame(void*, wl_pointer*) {}
void OnAxisSource(void*, wl_pointer*, uint32_t) {}
void OnAxisStop(void*, wl_pointer*, uint32_t, uint32_t) {}
void OnAxisDiscrete(void*, wl_pointer*, uint32_t axis, int32_t steps) {
    Print("discrete %u %d", axis, steps);
}
void OnAxisValue120(void*, wl_pointer*, uint32_t axis, int32_t value) {
    Print("value120 %u %d", axis, value);
}
const wl_pointer_listener kPointerListener = {
    OnEnter, OnLeave,      OnMotion,   OnButton,       OnAxis,
    OnFrame, OnAxisSource, OnAxisStop, OnAxisDiscrete, OnAxisValue120};

void OnKeymap(void* data, wl_keyboard*, uint32_t format, int fd, uint32_t size) {
    auto& probe = *static_cast<Probe*>(data);
    if (format == WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1) {
        void* text = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
        if (text != MAP_FAILED) {
            xkb_keymap* keymap =
                xkb_keymap_new_from_string(probe.xkb, static_cast<const char*>(text),
                                           XKB_KEYMAP_FORMAT_TEXT_V1, XKB_KEYMAP_COMPILE_NO_FLAGS);
            munmap(text, size);
            if (keymap != nullptr) {
                xkb_state_unref(probe.state);
                xkb_keymap_unref(probe.keymap);
                probe.keymap = keymap;
                probe.state = xkb_state_new(keymap);
            }
        }
    }
    close(fd);
}
void OnKeyboardEnter(void* data, wl_keyboard*, uint32_t, wl_surface*, wl_array*) {
    auto& probe = *static_cast<Probe*>(data);
    probe.keyboardFocus = true;
    Print("keyboard-enter");
    CheckReady(probe);
}
void OnKeyboardLeave(void* data, wl_keyboard*, uint32_t, wl_surface*) {
    static_cast<Probe*>(data)->keyboardFocus = false;
    Print("keyboard-leave");
}
void OnKey(void* data, wl_keyboard*, uint32_t, uint32_t time, uint32_t key, uint32_t state) {
    auto& probe = *static_cast<Probe*>(data);
    eventTime = time;
    const bool press = state == WL_KEYBOARD_KEY_STATE_PRESSED;
    Print("key %u %d", key, press ? 1 : 0);
    if (!press || probe.state == nullptr) return;
    char text[64] = {};
    xkb_state_key_get_utf8(probe.state, key + 8, text, sizeof text);
    bool printable = text[0] != '\0';
    for (const char* c = text; *c != '\0'; ++c) {
        if (static_cast<unsigned char>(*c) < 0x20 || *c == 0x7f) printable = false;
    }
    if (printable) Print("text %s", text);
}
void OnModifiers(void* data, wl_keyboard*, uint32_t, uint32_t depressed, uint32_t latched,
                 uint32_t locked, uint32_t group) {
    auto& probe = *static_cast<Probe*>(data);
    if (probe.state != nullptr) {
        xkb_state_update_mask(probe.state, depressed, latched, locked, 0, 0, group);
    }
    Print("modifiers %u %u %u %u", depressed, latched, locked, group);
}
void OnRepeatInfo(void*, wl_keyboard*, int32_t, int32_t) {}
const wl_keyboard_listener kKeyboardListener = {OnKeymap, OnKeyboardEnter, OnKeyboardLeave,
                                                OnKey,    OnModifiers,     OnRepeatInfo};

void OnCapabilities(void* data, wl_seat* seat, uint32_t capabilities) {
    auto& probe = *static_cast<Probe*>(data);
    if ((capabilities & WL_SEAT_CAPABILITY_POINTER) != 0 && probe.pointer == nullptr) {
        probe.pointer = wl_seat_get_pointer(seat);
        wl_pointer_add_listener(probe.pointer, &kPointerListener, &probe);
    }
    if ((capabilities & WL_SEAT_CAPABILITY_KEYBOARD) != 0 && probe.keyboard == nullptr) {
        probe.keyboard = wl_seat_get_keyboard(seat);
        wl_keyboard_add_listener(probe.keyboard, &kKeyboardListener, &probe);
    }
}
void OnSeatName(void*, wl_seat*, const char*) {}
const wl_seat_listener kSeatListener = {OnCapabilities, OnSeatName};

void OnOutputPosition(void*, zxdg_output_v1*, int32_t, int32_t) {}
void OnOutputSize(void*, zxdg_output_v1*, int32_t, int32_t) {}
void OnOutputDone(void*, zxdg_output_v1*) {}
void OnOutputName(void* data, zxdg_output_v1*, const char* name) {
    static_cast<Output*>(data)->name = name;
}
void OnOutputDescription(void*, zxdg_output_v1*, const char*) {}
const zxdg_output_v1_listener kXdgOutputListener = {OnOutputPosition, OnOutputSize, OnOutputDone,
                                                    OnOutputName, OnOutputDescription};

void OnGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface,
              uint32_t version) {
    auto& probe = *static_cast<Probe*>(data);
    auto bind = [&](const wl_interface* type, uint32_t most) {
        return wl_registry_bind(registry, name, type, version < most ? version : most);
    };
    if (std::strcmp(interface, wl_compositor_interface.name) == 0) {
        probe.compositor = static_cast<wl_compositor*>(bind(&wl_compositor_interface, 4));
    } else if (std::strcmp(interface, wl_shm_interface.name) == 0) {
        probe.shm = static_cast<wl_shm*>(bind(&wl_shm_interface, 1));
    } else if (std::strcmp(interface, xdg_wm_base_interface.name) == 0) {
        probe.wmBase = static_cast<xdg_wm_base*>(bind(&xdg_wm_base_interface, 2));
        xdg_wm_base_add_listener(probe.wmBase, &kWmBaseListener, &probe);
    } else if (std::strcmp(interface, wl_seat_interface.name) == 0 && probe.seat == nullptr) {
        probe.seat = static_cast<wl_seat*>(bind(&wl_seat_interface, 8));
        wl_seat_add_listener(probe.seat, &kSeatListener, &probe);
    } else if (std::strcmp(interface, wl_output_interface.name) == 0) {
        auto output = std::make_unique<Output>();
        output->output = static_cast<wl_output*>(bind(&wl_output_interface, 2));
        probe.outputs.push_back(std::move(output));
    } else if (std::strcmp(interface, zxdg_output_manager_v1_interface.name) == 0) {
        probe.outputManager =
            static_cast<zxdg_output_manager_v1*>(bind(&zxdg_output_manager_v1_interface, 3));
    }
}
void OnGlobalRemove(void*, wl_registry*, uint32_t) {}
const wl_registry_listener kRegistryListener = {OnGlobal, OnGlobalRemove};

// The output named name, through xdg-output; nullptr when there is none of that name.
wl_output* FindOutput(Probe& probe, const std::string& name) {
    if (probe.outputManager == nullptr) return nullptr;
    for (const auto& output : probe.outputs) {
        output->xdg = zxdg_output_manager_v1_get_xdg_output(probe.outputManager, output->output);
        zxdg_output_v1_add_listener(output->xdg, &kXdgOutputListener, output.get());
    }
    wl_display_roundtrip(probe.display);
    for (const auto& output : probe.outputs) {
        if (output->name == name) return output->output;
    }
    return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    std::string outputName;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--output") == 0 && i + 1 < argc) {
            outputName = argv[++i];
        } else if (std::strcmp(argv[i], "--stamps") == 0) {
            stamps = true;
        }
    }
    Probe probe;
    probe.display = wl_display_connect(nullptr);
    if (probe.display == nullptr) {
        Print("error no Wayland display");
        return 1;
    }
    wl_registry* registry = wl_display_get_registry(probe.display);
    wl_registry_add_listener(registry, &kRegistryListener, &probe);
    wl_display_roundtrip(probe.display);
    if (probe.compositor == nullptr || probe.shm == nullptr || probe.wmBase == nullptr) {
        Print("error no compositor, shm or xdg-shell");
        return 1;
    }
    wl_output* output = nullptr;
    if (!outputName.empty() && (output = FindOutput(probe, outputName)) == nullptr) {
        Print("error no output %s", outputName.c_str());
        return 1;
    }
    probe.surface = wl_compositor_create_surface(probe.compositor);
    probe.xdgSurface = xdg_wm_base_get_xdg_surface(probe.wmBase, probe.surface);
    xdg_surface_add_listener(probe.xdgSurface, &kSurfaceListener, &probe);
    probe.toplevel = xdg_surface_get_toplevel(probe.xdgSurface);
    xdg_toplevel_add_listener(probe.toplevel, &kToplevelListener, &probe);
    xdg_toplevel_set_title(probe.toplevel, "tapewright probe");
    xdg_toplevel_set_app_id(probe.toplevel, "tapewright-probe");
    xdg_toplevel_set_fullscreen(probe.toplevel, output);
    wl_surface_commit(probe.surface);
    while (wl_display_dispatch(probe.display) != -1) {
    }
    Print("error the compositor went away");
    return 0;
}
