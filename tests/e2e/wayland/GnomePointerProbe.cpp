// Run as the compositor's user on its session bus: moves the pointer through Mutter's remote
// desktop to each place its arguments give (x y ...) and waits for the program's GNOME Shell
// extension to report it through the program's own source. Prints "start X Y", then
// "moved X Y after N reports" for each place. Then the source stops, and the extension must
// stop sending its signal: "quiet after N moves". Exits 0 when all went so, 1 when a place
// was not reported within the time or the signals went on, 2 when the extension or Mutter
// does not answer.
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

// A connection that listens to the extension's signal without subscribing.
struct Listener {
    sd_bus* bus = nullptr;
    int signals = 0;

    Listener() {
        sd_bus_open_user(&bus);
        sd_bus_match_signal(
            bus, nullptr, kGnomePointerBusName, kGnomePointerPath, kGnomePointerInterface,
            "PositionChanged",
            [](sd_bus_message*, void* self, sd_bus_error*) {
                ++static_cast<Listener*>(self)->signals;
                return 0;
            },
            this);
    }
    ~Listener() { sd_bus_flush_close_unref(bus); }

    // Asks until the extension answers place, for as long as a busy machine may need.
    bool Reached(PointerPosition place) {
        const auto deadline = Clock::now() + std::chrono::seconds(10);
        while (Clock::now() < deadline) {
            sd_bus_message* reply = nullptr;
            PointerPosition at;
            const int r =
                sd_bus_call_method(bus, kGnomePointerBusName, kGnomePointerPath,
                                   kGnomePointerInterface, "GetPosition", nullptr, &reply, "");
            const bool read = r >= 0 && sd_bus_message_read(reply, "ii", &at.x, &at.y) >= 0;
            sd_bus_message_unref(reply);
            if (read && at == place) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return false;
    }

    // The shell tells where the pointer is a moment before it signals the move: a signal
    // comes within the time, or none was sent.
    bool Signalled(int before, std::chrono::milliseconds within) {
        const auto deadline = Clock::now() + within;
        while (signals == before && Clock::now() < deadline) {
            while (sd_bus_process(bus, nullptr) > 0) {
            }
            sd_bus_wait(bus, 10'000);
        }
        return signals != before;
    }
};

// The extension forgets a subscriber when it leaves the bus, a moment later: within a few
// moves no signal follows a move. (Under a load that delays a signal past the wait, a
// signal sent in error would pass unseen; a right extension never fails here.)
bool QuietWithoutSubscriber(MutterSession& session) {
    Listener listener;
    for (int move = 1; move <= 50; ++move) {
        const PointerPosition place{move, 10};
        const int before = listener.signals;
        session.MoveTo(place.x, place.y);
        session.Process();
        if (!listener.Reached(place)) return false;
        if (!listener.Signalled(before, std::chrono::milliseconds(500))) {
            std::printf("quiet after %d moves\n", move);
            return true;
        }
    }
    std::printf("signals went on without a subscriber\n");
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
    source.Stop();
    return QuietWithoutSubscriber(session) ? 0 : 1;
}
