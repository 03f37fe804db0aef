#include "platform/wayland/BusThread.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

bool BusThread::Start(sd_bus* bus, std::string& error) {
    return thread_.Start([bus](int wake) { Serve(bus, wake); }, error);
}

// Messages already read into the connection's queue (during an earlier call) come first;
// then it waits for the socket, or for the stop. A broken connection ends the thread.
void BusThread::Serve(sd_bus* bus, int wake) {
    for (;;) {
        int r = 0;
        while ((r = sd_bus_process(bus, nullptr)) > 0) {
        }
        if (r < 0) return;
        pollfd fds[2] = {{sd_bus_get_fd(bus), static_cast<short>(sd_bus_get_events(bus)), 0},
                         {wake, POLLIN, 0}};
        uint64_t until = 0;
        int timeout = -1;
        if (sd_bus_get_timeout(bus, &until) > 0 && until != UINT64_MAX) {
            timespec now{};
            clock_gettime(CLOCK_MONOTONIC, &now);
            const uint64_t nowUs = static_cast<uint64_t>(now.tv_sec) * 1'000'000u +
                                   static_cast<uint64_t>(now.tv_nsec) / 1000u;
            timeout = until <= nowUs ? 0 : static_cast<int>((until - nowUs + 999) / 1000);
        }
        if (poll(fds, 2, timeout) < 0 && errno != EINTR) return;
        if (fds[1].revents != 0) return;
    }
}
