// Start-up of the desktop program: from exec to its window being viewable on the display
// named by DISPLAY (run it under Xvfb), and its resident memory once it is up. Each run
// starts from a scratch directory so that no settings file moves the window.
#include <X11/Xlib.h>
#include <benchmark/benchmark.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

namespace {

namespace fs = std::filesystem;

bool HasViewableTapewrightWindow(Display* display, Window window) {
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, window, &root, &parent, &children, &count)) return false;
    bool found = false;
    for (unsigned i = 0; i < count && !found; ++i) {
        char* name = nullptr;
        XWindowAttributes attributes{};
        if (XFetchName(display, children[i], &name) && name != nullptr) {
            found = std::strstr(name, "Tapewright") != nullptr &&
                    XGetWindowAttributes(display, children[i], &attributes) &&
                    attributes.map_state == IsViewable;
            XFree(name);
        }
        if (!found) found = HasViewableTapewrightWindow(display, children[i]);
    }
    if (children != nullptr) XFree(children);
    return found;
}

long ResidentKilobytes(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
    }
    return 0;
}

void StopAndWait(pid_t pid, Display* display) {
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    while (HasViewableTapewrightWindow(display, DefaultRootWindow(display))) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

void BM_StartUpToWindowShown(benchmark::State& state) {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        state.SkipWithError("no X display: run under Xvfb with DISPLAY set");
        return;
    }
    fs::path dir = fs::temp_directory_path() / ("tapewright-startup-" + std::to_string(getpid()));
    fs::create_directories(dir);
    fs::copy_file(TAPEWRIGHT_BINARY, dir / "tapewright", fs::copy_options::overwrite_existing);
    const std::string binary = (dir / "tapewright").string();
    long resident = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        pid_t pid = fork();
        if (pid == 0) {
            execl(binary.c_str(), binary.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        while (!HasViewableTapewrightWindow(display, DefaultRootWindow(display))) {
            std::this_thread::sleep_for(std::chrono::microseconds(500));
        }
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        resident = ResidentKilobytes(pid);
        StopAndWait(pid, display);
    }
    state.counters["resident_MB"] = static_cast<double>(resident) / 1024.0;
    XCloseDisplay(display);
    fs::remove_all(dir);
}
BENCHMARK(BM_StartUpToWindowShown)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace
