#include "platform/x11/PlaybackRepeat.h"

#include <X11/XKBlib.h>

namespace {

bool RepeatOn(Display* display) {
    XkbDescPtr keyboard = XkbAllocKeyboard();
    if (keyboard == nullptr) return false;
    keyboard->device_spec = XkbUseCoreKbd;
    const bool on = XkbGetControls(display, XkbControlsEnabledMask, keyboard) == Success &&
                    (keyboard->ctrls->enabled_ctrls & XkbRepeatKeysMask) != 0;
    XkbFreeKeyboard(keyboard, 0, True);
    return on;
}

void SetRepeat(Display* display, bool on) {
    XkbChangeEnabledControls(display, XkbUseCoreKbd, XkbRepeatKeysMask, on ? XkbRepeatKeysMask : 0);
}

}  // namespace

void PlaybackRepeat::Suspend() {
    if (suspended_) return;
    suspended_ = true;
    turnedOff_ = RepeatOn(display_);
    if (turnedOff_) {
        SetRepeat(display_, false);
        XFlush(display_);
    }
}

void PlaybackRepeat::Restore() {
    if (!suspended_) return;
    suspended_ = false;
    if (!turnedOff_) return;
    turnedOff_ = false;
    SetRepeat(display_, true);
    XSync(display_, False);
}
