// What a recording on Wayland costs per kernel input event: the translation alone, and the
// whole way from a device's descriptor through libevdev, the reader and the translator, over
// a mouse that umockdev emulates (a pseudo-terminal stands for the device node). The program
// runs itself again under umockdev's preload library.
#include <benchmark/benchmark.h>
#include <linux/input.h>
#include <poll.h>
#include <umockdev.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "platform/wayland/EvdevSource.h"
#include "platform/wayland/EvdevTranslator.h"

namespace {

constexpr const char* kPreload = "libumockdev-preload.so.0";
constexpr const char* kMouseNode = "/dev/input/event21";
constexpr int kFramesPerBatch = 32;  // 96 events, 2,304 bytes: within the terminal's buffer

// A mouse's frames: motion, a button, the high-resolution wheel with its notch.
std::vector<DeviceEvent> MouseStream(int frames) {
    std::vector<DeviceEvent> events;
    for (int i = 0; i < frames; ++i) {
        switch (i % 4) {
            case 0:
            case 1:
                events.push_back({EV_REL, REL_X, 3, 0});
                events.push_back({EV_REL, REL_Y, -1, 0});
                break;
            case 2:
                events.push_back({EV_KEY, BTN_LEFT, i % 8 == 2 ? 1 : 0, 0});
                break;
            default:
                events.push_back({EV_REL, REL_WHEEL_HI_RES, 120, 0});
                events.push_back({EV_REL, REL_WHEEL, 1, 0});
                break;
        }
        events.push_back({EV_SYN, SYN_REPORT, 0, 0});
    }
    return events;
}

void BM_EvdevTranslate(benchmark::State& state) {
    const std::vector<DeviceEvent> events = MouseStream(1024);
    EvdevTranslator translator;
    translator.Reset(KeyboardState{});
    const PositionQuery position = [](uint32_t) { return PointerPosition{300, 500}; };
    std::size_t records = 0;
    for (auto _ : state) {
        for (const DeviceEvent& event : events)
            records += translator.Translate(event, position).size();
    }
    benchmark::DoNotOptimize(records);
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(events.size()));
}
BENCHMARK(BM_EvdevTranslate);

class PollWatch final : public DescriptorWatch {
  public:
    void Watch(int fd, Ready ready) override { watched_[fd] = std::move(ready); }
    void Unwatch(int fd) override { watched_.erase(fd); }
    void RunOnce() {
        std::vector<pollfd> fds;
        for (const auto& [fd, ready] : watched_) fds.push_back(pollfd{fd, POLLIN, 0});
        if (poll(fds.data(), fds.size(), 1000) <= 0) return;
        for (const pollfd& fd : fds) {
            auto found = watched_.find(fd.fd);
            if ((fd.revents & POLLIN) != 0 && found != watched_.end()) found->second();
        }
    }

  private:
    std::map<int, Ready> watched_;
};

std::vector<input_event> KernelFrames(const std::vector<DeviceEvent>& events) {
    std::vector<input_event> frames;
    for (const DeviceEvent& event : events) {
        input_event kernel{};
        kernel.type = event.type;
        kernel.code = event.code;
        kernel.value = event.value;
        frames.push_back(kernel);
    }
    return frames;
}

void BM_EvdevReadAndTranslate(benchmark::State& state) {
    UMockdevTestbed* bed = umockdev_testbed_new();
    GError* error = nullptr;
    const std::string base = std::string(TAPEWRIGHT_MOCK_DEVICES) + "/mouse";
    if (!umockdev_testbed_add_from_file(bed, (base + ".umockdev").c_str(), &error) ||
        !umockdev_testbed_load_ioctl(bed, kMouseNode, (base + ".ioctl").c_str(), &error)) {
        state.SkipWithError("the emulated mouse cannot be made");
        g_object_unref(bed);
        return;
    }
    const int device = umockdev_testbed_get_dev_fd(bed, kMouseNode);
    const std::vector<input_event> batch = KernelFrames(MouseStream(kFramesPerBatch));
    const std::size_t bytes = batch.size() * sizeof(input_event);

    PollWatch watch;
    EvdevSource source(watch);
    EvdevTranslator translator;
    translator.Reset(KeyboardState{});
    const PositionQuery position = [](uint32_t) { return PointerPosition{300, 500}; };
    std::size_t received = 0;
    std::size_t records = 0;
    std::string message;
    if (!source.Start(
            [&](const DeviceEvent& event) {
                ++received;
                records += translator.Translate(event, position).size();
            },
            message)) {
        state.SkipWithError(message.c_str());
        g_object_unref(bed);
        return;
    }
    for (auto _ : state) {
        const std::size_t target = received + batch.size();
        if (write(device, batch.data(), bytes) != static_cast<ssize_t>(bytes)) {
            state.SkipWithError("cannot write to the emulated mouse");
            break;
        }
        while (received < target) watch.RunOnce();
    }
    source.Stop();
    benchmark::DoNotOptimize(records);
    state.SetItemsProcessed(static_cast<int64_t>(received));
    g_object_unref(bed);
}
BENCHMARK(BM_EvdevReadAndTranslate)->UseRealTime();

bool Preloaded() {
    const char* preload = std::getenv("LD_PRELOAD");
    return preload != nullptr && std::strstr(preload, kPreload) != nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    if (!Preloaded()) {
        setenv("LD_PRELOAD", kPreload, 1);
        execv("/proc/self/exe", argv);
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
