#pragma once
// What a way in does with its own connection to the compositor besides sending requests.
#include <poll.h>
#include <wayland-client.h>

#include <cerrno>
#include <chrono>

// Takes in and handles what the compositor sent meanwhile (outputs that came, went or moved;
// errors) without waiting, so that nothing piles up on the connection.
inline void ReadCompositorEvents(wl_display* display) {
    while (wl_display_prepare_read(display) != 0) {
        if (wl_display_dispatch_pending(display) < 0) return;
    }
    pollfd readable{wl_display_get_fd(display), POLLIN, 0};
    if (poll(&readable, 1, 0) > 0) {
        wl_display_read_events(display);
    } else {
        wl_display_cancel_read(display);
    }
    wl_display_dispatch_pending(display);
}

// Waits until the compositor has taken in every request sent so far, before a connection is
// closed: a compositor drops what it has not read yet when its client hangs up, so the last
// requests of a playback (a button's release) would be lost when the program ends at once.
inline void AwaitCompositor(wl_display* display, std::chrono::milliseconds timeout) {
    static const wl_callback_listener kDone = {
        [](void* data, wl_callback*, uint32_t) { *static_cast<bool*>(data) = true; }};
    bool done = false;
    wl_callback* callback = wl_display_sync(display);
    wl_callback_add_listener(callback, &kDone, &done);
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || (wl_display_flush(display) < 0 && errno != EAGAIN)) break;
        if (wl_display_prepare_read(display) != 0) {
            if (wl_display_dispatch_pending(display) < 0) break;
            continue;
        }
        pollfd readable{wl_display_get_fd(display), POLLIN, 0};
        if (poll(&readable, 1, static_cast<int>(left.count())) <= 0) {
            wl_display_cancel_read(display);
            break;
        }
        if (wl_display_read_events(display) < 0 || wl_display_dispatch_pending(display) < 0) break;
    }
    wl_callback_destroy(callback);
}
