// Plays through two devices of the program's own made with uinput: the compositor reads them
// as it reads the user's keyboard and mouse, so this works on any desktop that lets the
// program open /dev/uinput.
#include <X11/Xlib.h>
#include <fcntl.h>
#include <linux/uinput.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/wayland/DeviceEvents.h"
#include "platform/wayland/InputWays.h"
#include "platform/wayland/UinputDevices.h"

namespace {

class UinputDevice {
  public:
    ~UinputDevice() {
        if (fd_ < 0) return;
        ioctl(fd_, UI_DEV_DESTROY);
        close(fd_);
    }

    // Errno of the failure, 0 when the device exists.
    int Create(const UinputDescription& description) {
        fd_ = open("/dev/uinput", O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd_ < 0) return errno;
        for (uint16_t type : description.eventTypes) ioctl(fd_, UI_SET_EVBIT, type);
        for (uint16_t key : description.keys) ioctl(fd_, UI_SET_KEYBIT, key);
        for (uint16_t rel : description.relatives) ioctl(fd_, UI_SET_RELBIT, rel);
        for (uint16_t abs : description.absolutes) {
            ioctl(fd_, UI_SET_ABSBIT, abs);
            uinput_abs_setup axis{};
            axis.code = abs;
            axis.absinfo.maximum = kUinputAbsoluteMax;
            if (ioctl(fd_, UI_ABS_SETUP, &axis) != 0) return errno;
        }
        uinput_setup setup{};
        setup.id = {BUS_VIRTUAL, kOwnDeviceVendor, kOwnDeviceProduct, 1};
        std::strncpy(setup.name, description.name.c_str(), UINPUT_MAX_NAME_SIZE - 1);
        if (ioctl(fd_, UI_DEV_SETUP, &setup) != 0 || ioctl(fd_, UI_DEV_CREATE) != 0) return errno;
        return 0;
    }

    void Queue(const std::vector<UinputEvent>& events) {
        for (const UinputEvent& event : events) {
            input_event raw{};
            raw.type = event.type;
            raw.code = event.code;
            raw.value = event.value;
            pending_.push_back(raw);
        }
    }

    void Flush() {
        if (pending_.empty()) return;
        const std::size_t bytes = pending_.size() * sizeof(input_event);
        [[maybe_unused]] ssize_t written = write(fd_, pending_.data(), bytes);
        pending_.clear();
    }

  private:
    int fd_ = -1;
    std::vector<input_event> pending_;
};

class UinputWay final : public InputWay {
  public:
    UinputWay(int32_t width, int32_t height) : width_(width), height_(height) {}
    int Create() {
        if (int error = keyboard_.Create(UinputKeyboard())) return error;
        return pointer_.Create(UinputPointer());
    }

    std::string Name() const override { return "uinput の仮想デバイス"; }
    void MoveTo(int32_t x, int32_t y) override {
        pointer_.Queue(UinputMotion(x, y, width_, height_));
    }
    void Button(uint32_t button, bool press) override {
        pointer_.Queue(
            {{EV_KEY, static_cast<uint16_t>(button), press ? 1 : 0}, {EV_SYN, SYN_REPORT, 0}});
    }
    void StartPlayback() override { wheel_.Reset(); }
    void Wheel(bool horizontal, int32_t delta) override {
        pointer_.Queue(wheel_.Turn(horizontal, delta));
    }
    void Key(uint32_t key, bool press) override {
        keyboard_.Queue(
            {{EV_KEY, static_cast<uint16_t>(key), press ? 1 : 0}, {EV_SYN, SYN_REPORT, 0}});
    }
    void Flush() override {
        pointer_.Flush();
        keyboard_.Flush();
    }

  private:
    int32_t width_;
    int32_t height_;
    UinputDevice keyboard_;
    UinputDevice pointer_;
    UinputWheel wheel_;
};

// The compositors map an absolute pointer over the layout from (0, 0), whose extent XWayland's
// root window has.
bool LayoutSize(int32_t& width, int32_t& height) {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) return false;
    width = DisplayWidth(display, DefaultScreen(display));
    height = DisplayHeight(display, DefaultScreen(display));
    XCloseDisplay(display);
    return true;
}

std::string Refusal(int error) {
    if (error == ENOENT || error == ENODEV) {
        return "uinput: /dev/uinput がありません。uinput モジュールを読み込んでください "
               "(sudo modprobe uinput)。";
    }
    if (error == EACCES || error == EPERM) {
        return "uinput: /dev/uinput を開く権限がありません。パッケージの udev ルール "
               "(60-tapewright-uinput.rules) を入れてログインし直してください。";
    }
    return std::string("uinput: 仮想デバイスを作れません (") + std::strerror(error) + ")。";
}

}  // namespace

std::unique_ptr<InputWay> OpenUinputWay(std::string& refusal) {
    int32_t width = 0;
    int32_t height = 0;
    if (!LayoutSize(width, height)) {
        refusal = "uinput: 画面の大きさを XWayland から読めません。";
        return nullptr;
    }
    auto way = std::make_unique<UinputWay>(width, height);
    if (int error = way->Create()) {
        refusal = Refusal(error);
        return nullptr;
    }
    return way;
}
