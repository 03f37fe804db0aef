// Moves KWin's pointer through its fake input, standing in for a user's mouse in the tests,
// and returns once KWin has handled the move. KWin admits it only where an installed desktop
// entry names its path (KwinCompositor::Admit).
//
// Usage: tapewright_kwin_pointer X Y   (in the layout's logical pixels)
// Exits 0 when moved, 1 on bad arguments, 2 when KWin offers no fake input.
#include <wayland-client.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "wayland/fake-input-client.h"

namespace {

// pointer_motion_absolute came with version 3.
constexpr uint32_t kVersion = 3;

struct Found {
    uint32_t name = 0;
    uint32_t version = 0;

    static void Add(void* data, wl_registry*, uint32_t name, const char* interface,
                    uint32_t version) {
        if (std::strcmp(interface, org_kde_kwin_fake_input_interface.name) != 0) return;
        static_cast<Found*>(data)->name = name;
        static_cast<Found*>(data)->version = version;
    }
    static void Remove(void*, wl_registry*, uint32_t) {}
};

constexpr wl_registry_listener kListener = {&Found::Add, &Found::Remove};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s X Y\n", argv[0]);
        return 1;
    }
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "no Wayland display\n");
        return 2;
    }
    Found found;
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &kListener, &found);
    wl_display_roundtrip(display);
    if (found.name == 0 || found.version < kVersion) {
        std::fprintf(stderr, "KWin offers no fake input (version %u)\n", found.version);
        return 2;
    }
    auto* input = static_cast<org_kde_kwin_fake_input*>(
        wl_registry_bind(registry, found.name, &org_kde_kwin_fake_input_interface, kVersion));
    org_kde_kwin_fake_input_authenticate(input, "tapewright tests", "moves the pointer");
    org_kde_kwin_fake_input_pointer_motion_absolute(input, wl_fixed_from_int(std::atoi(argv[1])),
                                                    wl_fixed_from_int(std::atoi(argv[2])));
    const bool handled = wl_display_roundtrip(display) >= 0;
    org_kde_kwin_fake_input_destroy(input);
    wl_registry_destroy(registry);
    wl_display_disconnect(display);
    return handled ? 0 : 2;
}
