#include "platform/wayland/UinputDevices.h"

#include <linux/input-event-codes.h>

#include <algorithm>

namespace {

constexpr int32_t kNotch = 120;

std::vector<uint16_t> Range(uint16_t first, uint16_t last) {
    std::vector<uint16_t> codes;
    for (uint32_t code = first; code <= last; ++code) codes.push_back(static_cast<uint16_t>(code));
    return codes;
}

}  // namespace

UinputDescription UinputKeyboard() {
    UinputDescription keyboard{"Tapewright virtual keyboard", {EV_SYN, EV_KEY, EV_REP}, {}, {}, {}};
    // The keys below the button range and the media keys above it up to the gamepad's
    // buttons: with any of the buttons, udev would take it for a joystick or a mouse.
    keyboard.keys = Range(KEY_ESC, KEY_MICMUTE);
    for (uint16_t key : Range(KEY_OK, BTN_DPAD_UP - 1)) keyboard.keys.push_back(key);
    return keyboard;
}

UinputDescription UinputPointer() {
    UinputDescription pointer{"Tapewright virtual pointer",
                              {EV_SYN, EV_KEY, EV_REL, EV_ABS},
                              Range(BTN_LEFT, BTN_TASK),
                              {},
                              {ABS_X, ABS_Y}};
    pointer.relatives = {REL_WHEEL, REL_HWHEEL, REL_WHEEL_HI_RES, REL_HWHEEL_HI_RES};
    return pointer;
}

int32_t UinputAbsolute(int32_t pixel, int32_t size) {
    if (size <= 1) return 0;
    const int64_t clamped = std::clamp(pixel, 0, size - 1);
    // The least value that comes back as this pixel: ceil(pixel * (max + 1) / size).
    const int64_t value = (clamped * (kUinputAbsoluteMax + 1) + size - 1) / size;
    return static_cast<int32_t>(std::min<int64_t>(value, kUinputAbsoluteMax));
}

std::vector<UinputEvent> UinputMotion(int32_t x, int32_t y, int32_t width, int32_t height) {
    return {{EV_ABS, ABS_X, UinputAbsolute(x, width)},
            {EV_ABS, ABS_Y, UinputAbsolute(y, height)},
            {EV_SYN, SYN_REPORT, 0}};
}

std::vector<UinputEvent> UinputWheel::Turn(bool horizontal, int32_t delta) {
    // A Windows delta and the kernel's wheel share their signs: up and right are positive.
    int32_t& carried = carried_[horizontal ? 1 : 0];
    std::vector<UinputEvent> events{
        {EV_REL, static_cast<uint16_t>(horizontal ? REL_HWHEEL_HI_RES : REL_WHEEL_HI_RES), delta}};
    carried += delta;
    const int32_t notches = carried / kNotch;  // towards zero
    carried -= notches * kNotch;
    if (notches != 0) {
        events.push_back(
            {EV_REL, static_cast<uint16_t>(horizontal ? REL_HWHEEL : REL_WHEEL), notches});
    }
    events.push_back({EV_SYN, SYN_REPORT, 0});
    return events;
}
