#pragma once
// The X key code of an evdev key (linux/input-event-codes.h): the server's evdev rules add 8.
#include <linux/input-event-codes.h>

#include <cstdint>

constexpr uint32_t Keycode(uint32_t evdev) {
    return evdev + 8;
}
