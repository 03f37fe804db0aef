// Run as the compositor's user on its session bus: moves the pointer through Mutter's remote
// desktop to each place its arguments give (x y ...) and waits for the program's GNOME Shell
// extension to report it through the program's own source. Prints "start X Y", then
// "moved X Y after N reports" for each place; exits 0 when every place was reported, 1 when
// one was not within the time, 2 when the extension or Mutter does not answer.
#include <linux/input-event-codes.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "platform/posix/MonotonicClock.h"
#include "platform/wayland/GnomeShellSource.h"
#include "platform/wayland/MutterSession.h"

namespace {

using Clock = std::chrono::steady_clock;

// The shell owns the extension's name a moment after its socket appears.
bool StartSource(GnomeShellSource& source, std::vector<PointerPosition>& reports) {
    const auto deadline = Clock::now() + std::chrono::seconds(30);
    std::string refusal;
    while (Clock::now() < deadline) {
        if (source.Start([&reports](PointerPosition at, uint32_t) { reports.push_back(at); },
                         refusal)) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    std::printf("refused: %s\n", refusal.c_str());
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    GnomeShellSource source;
    std::vector<PointerPosition> reports;
    if (!StartSource(source, reports)) return 2;
    std::printf("start %d %d\n", reports.back().x, reports.back().y);
    MutterSession session;
    std::string error;
    if (session.Open(error) != MutterSession::Opened::Yes) {
        std::printf("remote desktop: %s\n", error.c_str());
        return 2;
    }
    for (int i = 1; i + 1 < argc; i += 2) {
        const PointerPosition place{std::atoi(argv[i]), std::atoi(argv[i + 1])};
        const std::size_t before = reports.size();
        session.MoveTo(place.x, place.y);
        const auto deadline = Clock::now() + std::chrono::seconds(10);
        while (reports.back() != place && Clock::now() < deadline) {
            session.Process();
            source.Before(DeviceEvent{EV_REL, REL_X, 0, MonotonicTick()});
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        if (reports.back() != place) {
            std::printf("not reported: %d %d (last %d %d)\n", place.x, place.y, reports.back().x,
                        reports.back().y);
            return 1;
        }
        std::printf("moved %d %d after %zu reports\n", place.x, place.y, reports.size() - before);
        std::fflush(stdout);
    }
    return 0;
}
