// Where the pointer is while recording on Wayland: the merge of a source's reports into the
// records, the estimate from relative motion, and Hyprland's and Wayfire's IPC against
// servers that answer as theirs do.
#include <gtest/gtest.h>
#include <linux/input-event-codes.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "ScratchDirectory.h"
#include "platform/posix/MonotonicClock.h"
#include "platform/wayland/HyprlandSource.h"
#include "platform/wayland/PositionHistory.h"
#include "platform/wayland/RelativeSource.h"
#include "platform/wayland/WayfireSource.h"

namespace {

using Reports = std::vector<std::pair<PointerPosition, uint32_t>>;

TEST(PositionHistoryTest, ARecordTakesTheLatestPositionReportedAtOrBeforeItsTime) {
    PositionHistory history;
    EXPECT_EQ(history.At(5), (PointerPosition{}));
    history.Add({10, 10}, 100);
    history.Add({20, 20}, 110);
    history.Add({21, 21}, 110);  // the later of two at one tick
    history.Add({30, 30}, 105);  // stamped before the last: taken as stamped with it
    history.Add({40, 40}, 130);
    EXPECT_EQ(history.At(90), (PointerPosition{10, 10}));  // before the first: the first
    EXPECT_EQ(history.At(109), (PointerPosition{10, 10}));
    EXPECT_EQ(history.At(110), (PointerPosition{30, 30}));
    EXPECT_EQ(history.At(129), (PointerPosition{30, 30}));
    EXPECT_EQ(history.At(500), (PointerPosition{40, 40}));
    // The tick count wraps after 49 days.
    history.Reset();
    history.Add({1, 1}, 0xFFFFFFF0u);
    history.Add({2, 2}, 5);
    EXPECT_EQ(history.At(0xFFFFFFFFu), (PointerPosition{1, 1}));
    EXPECT_EQ(history.At(6), (PointerPosition{2, 2}));
}

// A mouse on a layout of 1280 x 720 with the pointer first at (100, 50); XWayland's answers
// are scripted.
TEST(RelativeSourceTest, FollowsTheMotionWithinTheLayoutAndTakesXWaylandsNewPositions) {
    std::optional<PointerPosition> known = PointerPosition{100, 50};
    RelativeSource source([&] { return known; }, [] { return LayoutBounds{0, 0, 1280, 720}; });
    Reports reports;
    std::string refusal;
    ASSERT_TRUE(source.Start(
        [&](PointerPosition at, uint32_t time) { reports.emplace_back(at, time); }, refusal));
    EXPECT_FALSE(source.Exact());
    auto event = [&](uint16_t type, uint16_t code, int32_t value, uint32_t time) {
        source.Before(DeviceEvent{type, code, value, time});
    };
    auto move = [&](int32_t dx, int32_t dy, uint32_t time) {
        event(EV_REL, REL_X, dx, time);
        event(EV_REL, REL_Y, dy, time);
        event(EV_SYN, SYN_REPORT, 0, time);
    };
    move(5, -3, 10);
    move(-200, 0, 11);    // stops at the left edge
    move(0, -100, 12);    // and at the top
    move(2000, 900, 13);  // and at the far corner
    event(EV_KEY, KEY_A, 1, 14);
    event(EV_SYN, SYN_REPORT, 0, 14);   // a key's frame: nothing to report
    known = PointerPosition{640, 360};  // XWayland saw the pointer over an X window
    event(EV_KEY, BTN_LEFT, 1, 15);
    move(3, 4, 16);        // XWayland's answer unchanged: an old one, the estimate goes on
    known = std::nullopt;  // XWayland gone: the estimate goes on
    move(1, 1, 17);
    event(EV_REL, REL_WHEEL, 1, 18);
    event(EV_SYN, SYN_REPORT, 0, 18);
    const Reports expected = {{{105, 47}, 10},   {{0, 47}, 11},    {{0, 0}, 12},
                              {{1279, 719}, 13}, {{640, 360}, 15}, {{643, 364}, 16},
                              {{644, 365}, 17},  {{644, 365}, 18}};
    EXPECT_EQ(reports, expected);
    source.Stop();
    move(1, 1, 19);
    EXPECT_EQ(reports.size(), expected.size()) << "a report after the recording";
}

// A Unix socket server on its own thread, handing each connection to serve.
class FakeServer {
  public:
    FakeServer(const std::string& path, std::function<void(int)> serve) : serve_(std::move(serve)) {
        listener_ = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path.c_str(), sizeof(address.sun_path) - 1);
        EXPECT_EQ(bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
        EXPECT_EQ(listen(listener_, 8), 0);
        thread_ = std::thread([this] { Run(); });
    }
    ~FakeServer() {
        stop_ = true;
        thread_.join();
        close(listener_);
    }
    std::atomic<int> connections{0};

  private:
    void Run() {
        while (!stop_) {
            pollfd watched{listener_, POLLIN, 0};
            if (poll(&watched, 1, 20) <= 0) continue;
            const int client = accept(listener_, nullptr, nullptr);
            if (client < 0) continue;
            ++connections;
            serve_(client);
            close(client);
        }
    }
    std::function<void(int)> serve_;
    int listener_ = -1;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

std::string ReadSome(int fd) {
    char buffer[256];
    const ssize_t got = recv(fd, buffer, sizeof(buffer), 0);
    return got > 0 ? std::string(buffer, static_cast<std::size_t>(got)) : std::string();
}

// Asks at buttons until a report other than the last arrives (the source asks at most once
// every few milliseconds). The answer counts for the button that asked: it is stamped with
// the button's time.
bool ReportsAgain(PointerSource& source, const Reports& reports) {
    const std::size_t before = reports.size();
    uint32_t time = 0;
    for (int i = 0; i < 2000 && reports.size() == before; ++i) {
        time = MonotonicTick() - 1;
        source.Before(DeviceEvent{EV_KEY, BTN_LEFT, 1, time});
        if (reports.size() == before) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return reports.size() > before && reports.back().second == time;
}

TEST(HyprlandSourceTest, AsksTheInstanceTheEnvironmentNamesForCursorpos) {
    ScratchDirectory runtime;
    const std::string instance = runtime.File("hypr/abc_123");
    std::filesystem::create_directories(instance);
    setenv("XDG_RUNTIME_DIR", runtime.Path().c_str(), 1);
    setenv("HYPRLAND_INSTANCE_SIGNATURE", "abc_123", 1);
    std::atomic<int> x{-1920};  // on an output left of the primary one
    std::vector<std::string> requests;
    std::unique_ptr<PointerSource> source = OpenHyprlandSource();
    ASSERT_NE(source, nullptr);
    std::string refusal;
    EXPECT_FALSE(source->Start([](PointerPosition, uint32_t) {}, refusal));
    EXPECT_NE(refusal.find(instance + "/.socket.sock"), std::string::npos) << refusal;
    {
        // Hyprland reads one request, answers and closes.
        FakeServer hyprland(instance + "/.socket.sock", [&](int fd) {
            requests.push_back(ReadSome(fd));
            const std::string answer = std::to_string(x.load()) + ", 456";
            send(fd, answer.data(), answer.size(), MSG_NOSIGNAL);
        });
        Reports reports;
        ASSERT_TRUE(source->Start(
            [&](PointerPosition at, uint32_t time) { reports.emplace_back(at, time); }, refusal))
            << refusal;
        ASSERT_EQ(reports.size(), 1u);
        EXPECT_EQ(reports[0].first, (PointerPosition{-1920, 456}));
        x = 77;
        ASSERT_TRUE(ReportsAgain(*source, reports));
        EXPECT_EQ(reports.back().first, (PointerPosition{77, 456}));
        source->Stop();
    }
    EXPECT_EQ(requests.front(), "cursorpos");
    EXPECT_EQ(ParseHyprlandCursor("12, 34\n"), (PointerPosition{12, 34}));
    EXPECT_FALSE(ParseHyprlandCursor("unknown request"));
    EXPECT_FALSE(ParseHyprlandCursor("12, 34x"));
    unsetenv("HYPRLAND_INSTANCE_SIGNATURE");
    EXPECT_EQ(OpenHyprlandSource(), nullptr);
}

// Wayfire's framing: a 4-byte length in the machine's order, then that much JSON.
std::string ReadMessage(int fd) {
    uint32_t length = 0;
    if (recv(fd, &length, sizeof(length), MSG_WAITALL) != sizeof(length)) return std::string();
    std::string message(length, '\0');
    if (recv(fd, message.data(), length, MSG_WAITALL) != static_cast<ssize_t>(length)) {
        return std::string();
    }
    return message;
}

void SendMessage(int fd, const std::string& json) {
    const uint32_t length = static_cast<uint32_t>(json.size());
    send(fd, &length, sizeof(length), MSG_NOSIGNAL);
    send(fd, json.data(), json.size(), MSG_NOSIGNAL);
}

TEST(WayfireSourceTest, AsksForTheCursorPositionOverOneConnection) {
    ScratchDirectory runtime;
    const std::string path = runtime.File("wayfire-wayland-1.socket");
    setenv("WAYFIRE_SOCKET", path.c_str(), 1);
    std::atomic<bool> pluginOn{false};
    std::atomic<int> asked{0};
    FakeServer wayfire(path, [&](int fd) {
        for (std::string request; !(request = ReadMessage(fd)).empty();) {
            ++asked;
            if (!pluginOn ||
                request.find("\"window-rules/get_cursor_position\"") == std::string::npos) {
                SendMessage(fd, R"({"error":"No such method found!","method":"x"})");
                continue;
            }
            const double x = 640.6 + asked;
            SendMessage(
                fd, "{\"pos\":{\"x\":" + std::to_string(x) + ",\"y\":-20.0},\"result\":\"ok\"}");
        }
    });
    std::unique_ptr<PointerSource> source = OpenWayfireSource();
    ASSERT_NE(source, nullptr);
    std::string refusal;
    EXPECT_FALSE(source->Start([](PointerPosition, uint32_t) {}, refusal));
    EXPECT_NE(refusal.find("ipc-rules"), std::string::npos) << refusal;
    pluginOn = true;
    Reports reports;
    ASSERT_TRUE(source->Start(
        [&](PointerPosition at, uint32_t time) { reports.emplace_back(at, time); }, refusal))
        << refusal;
    ASSERT_TRUE(ReportsAgain(*source, reports));
    EXPECT_EQ(reports.front().first, (PointerPosition{643, -20}));  // rounded
    EXPECT_EQ(reports.back().first, (PointerPosition{644, -20}));
    source->Stop();
    // The refused start closed its connection; the recording kept one.
    EXPECT_EQ(wayfire.connections, 2);
    unsetenv("WAYFIRE_SOCKET");
}

}  // namespace
