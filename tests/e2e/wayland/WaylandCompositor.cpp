#include "WaylandCompositor.h"

#include <pwd.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>
#include <wayland-client.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "MacroFiles.h"

namespace fs = std::filesystem;

WaylandCompositor::~WaylandCompositor() {
    Stop();
}

void WaylandCompositor::Stop() {
    process_.Stop();
    if (!runtimeDirectory_.empty() && std::getenv("TAPEWRIGHT_E2E_KEEP") == nullptr) {
        std::error_code ignored;
        fs::remove_all(runtimeDirectory_, ignored);
        runtimeDirectory_.clear();
    }
}

bool WaylandCompositor::MakeRuntimeDirectory() {
    switchUser_ = geteuid() == 0;
    userId_ = geteuid();
    groupId_ = getegid();
    if (switchUser_) {
        const char* name = std::getenv("TAPEWRIGHT_COMPOSITOR_USER");
        if (name == nullptr || *name == '\0') name = "nobody";
        const passwd* user = getpwnam(name);
        if (user == nullptr || user->pw_uid == 0) {
            error_ = std::string("no user to run the compositor as (not root): ") + name;
            return false;
        }
        userId_ = user->pw_uid;
        groupId_ = user->pw_gid;
    }
    std::string pattern = "/tmp/" + prefix_ + "XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) {
        error_ = "cannot make the runtime directory";
        return false;
    }
    runtimeDirectory_ = pattern;
    if (switchUser_ && chown(pattern.c_str(), userId_, groupId_) != 0) {
        error_ = "cannot give the runtime directory to the compositor's user";
        return false;
    }
    return true;
}

std::string WaylandCompositor::WriteFile(const std::string& name, const std::string& text) {
    const std::string path = runtimeDirectory_ + "/" + name;
    std::ofstream(path, std::ios::binary) << text;
    if (chmod(path.c_str(), 0644) != 0) return std::string();
    if (switchUser_ && chown(path.c_str(), userId_, groupId_) != 0) return std::string();
    return path;
}

bool WaylandCompositor::Start(std::chrono::milliseconds timeout) {
    if (!MakeRuntimeDirectory()) return false;
    std::vector<std::string> argv = AsUser();
    for (std::string& word : Command()) argv.push_back(std::move(word));
    ChildOptions options;
    options.environment = CommandEnvironment();
    options.environment.emplace_back("XDG_RUNTIME_DIR", runtimeDirectory_);
    options.environment.emplace_back("HOME", runtimeDirectory_);
    options.environment.emplace_back("WAYLAND_DISPLAY", "");
    options.environment.emplace_back("DISPLAY", "");
    options.workingDirectory = runtimeDirectory_;
    options.stdoutFile = runtimeDirectory_ + "/log.txt";
    options.stderrFile = options.stdoutFile;
    if (!process_.Start(argv, options)) {
        error_ = process_.Error();
        return false;
    }
    return WaitForSocket(timeout);
}

std::string WaylandCompositor::FindSocket() const {
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(runtimeDirectory_, error)) {
        const std::string name = entry.path().filename().string();
        const bool wanted = SocketName().empty()
                                ? name.rfind("wayland-", 0) == 0 && entry.is_socket(error)
                                : name == SocketName();
        if (wanted) return entry.path().string();
    }
    return std::string();
}

bool WaylandCompositor::WaitForSocket(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        if (!process_.Running()) {
            error_ = "the compositor ended at start: " + Log();
            return false;
        }
        const std::string socket = FindSocket();
        if (!socket.empty()) {
            if (wl_display* display = wl_display_connect(socket.c_str())) {
                wl_display_disconnect(display);
                socketPath_ = socket;
                return true;
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    error_ = "the compositor's socket did not appear: " + Log();
    return false;
}

std::vector<std::string> WaylandCompositor::AsUser() const {
    if (!switchUser_) return {};
    // setpriv ends in exec: the child's process id is the command's.
    return {"setpriv", "--reuid=" + std::to_string(userId_), "--regid=" + std::to_string(groupId_),
            "--clear-groups", "--"};
}

bool WaylandCompositor::GiveToUser(const std::string& path) const {
    if (!switchUser_) return true;
    bool given = chown(path.c_str(), userId_, groupId_) == 0;
    std::error_code error;
    if (fs::is_directory(path, error)) {
        for (const fs::directory_entry& entry : fs::recursive_directory_iterator(path, error)) {
            given = given && chown(entry.path().c_str(), userId_, groupId_) == 0;
        }
    }
    return given && !error;
}

Environment WaylandCompositor::ClientEnvironment() const {
    return {{"WAYLAND_DISPLAY", socketPath_}, {"XDG_RUNTIME_DIR", runtimeDirectory_}};
}

std::string WaylandCompositor::Log() const {
    return runtimeDirectory_.empty() ? std::string()
                                     : ReadWholeFile(runtimeDirectory_ + "/log.txt");
}
