// What asking a compositor for the pointer's position costs the UI loop, once per mouse
// event at most: Hyprland's IPC (a connection per question) and Wayfire's (one connection
// kept), each against a server thread of this process that answers as theirs do. The
// compositor's own work to answer is not in it.
#include <benchmark/benchmark.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "platform/wayland/HyprlandSource.h"
#include "platform/wayland/WayfireSource.h"

namespace {

// Serves the connections to path one after another until destroyed.
class Server {
  public:
    using Serve = void (*)(int fd);
    Server(const std::string& path, Serve serve) : path_(path), serve_(serve) {
        listener_ = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path.c_str(), sizeof(address.sun_path) - 1);
        unlink(path.c_str());
        if (bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
            listen(listener_, 64) != 0) {
            std::abort();
        }
        thread_ = std::thread([this] { Run(); });
    }
    ~Server() {
        stop_ = true;
        thread_.join();
        close(listener_);
        unlink(path_.c_str());
    }

  private:
    void Run() {
        while (!stop_) {
            pollfd watched{listener_, POLLIN, 0};
            if (poll(&watched, 1, 20) <= 0) continue;
            const int client = accept(listener_, nullptr, nullptr);
            if (client < 0) continue;
            serve_(client);
            close(client);
        }
    }
    std::string path_;
    Serve serve_;
    int listener_ = -1;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

void AnswerHyprland(int fd) {
    char request[64];
    if (recv(fd, request, sizeof(request), 0) > 0) send(fd, "640, 360", 8, MSG_NOSIGNAL);
}

void AnswerWayfire(int fd) {
    const std::string answer = R"({"pos":{"x":640.5,"y":360.0},"result":"ok"})";
    for (;;) {
        uint32_t length = 0;
        if (recv(fd, &length, sizeof(length), MSG_WAITALL) != sizeof(length)) return;
        std::string request(length, '\0');
        if (recv(fd, request.data(), length, MSG_WAITALL) != static_cast<ssize_t>(length)) return;
        const uint32_t answerLength = static_cast<uint32_t>(answer.size());
        send(fd, &answerLength, sizeof(answerLength), MSG_NOSIGNAL);
        send(fd, answer.data(), answer.size(), MSG_NOSIGNAL);
    }
}

std::string SocketPath(const char* name) {
    return "/tmp/tapewright-bench-" + std::to_string(getpid()) + "-" + name;
}

// Each Start asks once.
void AskRepeatedly(benchmark::State& state, PointerSource& source) {
    std::string refusal;
    for (auto _ : state) {
        if (!source.Start([](PointerPosition at, uint32_t) { benchmark::DoNotOptimize(at); },
                          refusal)) {
            state.SkipWithError(refusal.c_str());
            break;
        }
    }
    source.Stop();
}

void BM_HyprlandCursorpos(benchmark::State& state) {
    const std::string path = SocketPath("hypr");
    Server server(path, &AnswerHyprland);
    HyprlandSource source(path);
    AskRepeatedly(state, source);
}
BENCHMARK(BM_HyprlandCursorpos)->Unit(benchmark::kMicrosecond);

void BM_WayfireCursorPosition(benchmark::State& state) {
    const std::string path = SocketPath("wayfire");
    Server server(path, &AnswerWayfire);
    WayfireSource source(path);
    AskRepeatedly(state, source);
}
BENCHMARK(BM_WayfireCursorPosition)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
