#include "platform/wayland/DisplayThread.h"

#include <poll.h>
#include <unistd.h>
#include <wayland-client.h>

#include <cerrno>
#include <cstring>

bool DisplayThread::Start(wl_display* display, std::string& error) {
    return thread_.Start([display](int wake) { Serve(display, wake); }, error);
}

// libwayland's reading protocol: events already queued are dispatched before waiting, and a
// read prepared is either done or cancelled. A broken connection ends the thread.
void DisplayThread::Serve(wl_display* display, int wake) {
    for (;;) {
        while (wl_display_prepare_read(display) != 0) {
            if (wl_display_dispatch_pending(display) < 0) return;
        }
        wl_display_flush(display);
        pollfd fds[2] = {{wl_display_get_fd(display), POLLIN, 0}, {wake, POLLIN, 0}};
        if (poll(fds, 2, -1) < 0 && errno != EINTR) {
            wl_display_cancel_read(display);
            return;
        }
        if (fds[1].revents != 0) {
            wl_display_cancel_read(display);
            return;
        }
        if ((fds[0].revents & POLLIN) != 0) {
            if (wl_display_read_events(display) < 0) return;
        } else {
            wl_display_cancel_read(display);
            if (fds[0].revents != 0) return;  // hung up
        }
        if (wl_display_dispatch_pending(display) < 0) return;
    }
}
