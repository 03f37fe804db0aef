#include "MockDevices.h"

#include <linux/input.h>
#include <umockdev.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace {

struct Description {
    const char* file;  // in devices/, .umockdev and .ioctl
    const char* node;
};

Description DescriptionOf(MockDevices::Device device) {
    switch (device) {
        case MockDevices::Device::Keyboard:
            return {"keyboard", "/dev/input/event20"};
        case MockDevices::Device::Mouse:
            return {"mouse", "/dev/input/event21"};
        case MockDevices::Device::KeyboardAndMouse:
            break;
    }
    return {"keyboard-mouse", "/dev/input/event23"};
}

UMockdevTestbed* Bed(void* bed) {
    return static_cast<UMockdevTestbed*>(bed);
}

}  // namespace

MockDevices::MockDevices() : bed_(umockdev_testbed_new()) {}

MockDevices::~MockDevices() {
    g_object_unref(Bed(bed_));
}

bool MockDevices::Add(Device device) {
    const Description description = DescriptionOf(device);
    const std::string base = std::string(TAPEWRIGHT_MOCK_DEVICES) + "/" + description.file;
    GError* error = nullptr;
    if (!umockdev_testbed_add_from_file(Bed(bed_), (base + ".umockdev").c_str(), &error) ||
        !umockdev_testbed_load_ioctl(Bed(bed_), description.node, (base + ".ioctl").c_str(),
                                     &error)) {
        error_ = error != nullptr ? error->message : "umockdev: " + base;
        if (error != nullptr) g_error_free(error);
        return false;
    }
    fds_[device] = umockdev_testbed_get_dev_fd(Bed(bed_), description.node);
    return true;
}

std::vector<std::pair<std::string, std::string>> MockDevices::Environment() const {
    gchar* root = umockdev_testbed_get_root_dir(Bed(bed_));
    std::vector<std::pair<std::string, std::string>> environment = {
        {"LD_PRELOAD", "libumockdev-preload.so.0"}, {"UMOCKDEV_DIR", root}};
    g_free(root);
    return environment;
}

// The device nodes are links to pseudo-terminals under /dev/pts: those are given too.
bool MockDevices::GiveTo(uid_t user, gid_t group) {
    gchar* root = umockdev_testbed_get_root_dir(Bed(bed_));
    const std::filesystem::path top(root);
    g_free(root);
    std::error_code error;
    bool ok = chown(top.c_str(), user, group) == 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(top, error)) {
        ok = lchown(entry.path().c_str(), user, group) == 0 && ok;
        if (entry.is_symlink() && std::filesystem::exists(entry.path())) {
            ok = chown(entry.path().c_str(), user, group) == 0 && ok;
        }
    }
    if (!ok || error) error_ = "cannot give the test bed " + top.string() + " to the user";
    return ok && !error;
}

bool MockDevices::Send(Device device, const std::vector<InputEvent>& events) {
    auto found = fds_.find(device);
    if (found == fds_.end()) {
        error_ = "the device was not added";
        return false;
    }
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);  // the test bed refuses CLOCK_MONOTONIC
    auto stamped = [&](uint16_t type, uint16_t code, int32_t value) {
        input_event kernel{};
        kernel.input_event_sec = now.tv_sec;
        kernel.input_event_usec = now.tv_nsec / 1000;
        kernel.type = type;
        kernel.code = code;
        kernel.value = value;
        return kernel;
    };
    std::vector<input_event> frame;
    for (const InputEvent& event : events)
        frame.push_back(stamped(event.type, event.code, event.value));
    frame.push_back(stamped(EV_SYN, SYN_REPORT, 0));
    const auto size = static_cast<ssize_t>(frame.size() * sizeof(input_event));
    if (write(found->second, frame.data(), frame.size() * sizeof(input_event)) != size) {
        error_ = "cannot write to the emulated device";
        return false;
    }
    return true;
}

bool MockDevices::Chord(Device device, const std::vector<uint16_t>& keys) {
    for (uint16_t key : keys) {
        if (!Send(device, {{EV_KEY, key, 1}})) return false;
    }
    for (auto key = keys.rbegin(); key != keys.rend(); ++key) {
        if (!Send(device, {{EV_KEY, *key, 0}})) return false;
    }
    return true;
}
