#include "platform/x11/CancelKeyGrab.h"

#include <FL/Fl.H>
#include <X11/keysym.h>

#include "platform/x11/XErrorTrap.h"

namespace {
// Ctrl+Esc counts whatever the state of Caps Lock and Num Lock.
constexpr unsigned kLockVariants[] = {0, LockMask, Mod2Mask, LockMask | Mod2Mask};
}  // namespace

CancelKeyGrab::CancelKeyGrab(Display* display, std::function<void()> onCancel)
    : display_(display), onCancel_(std::move(onCancel)) {
    escape_ = XKeysymToKeycode(display_, XK_Escape);
    Fl::add_fd(ConnectionNumber(display_), FL_READ, &CancelKeyGrab::OnReadable, this);
}

CancelKeyGrab::~CancelKeyGrab() { Fl::remove_fd(ConnectionNumber(display_)); }

void CancelKeyGrab::Grab(bool on) {
    if (escape_ == 0) return;
    Window root = DefaultRootWindow(display_);
    XErrorTrap trap(display_);  // another client may hold the same grab
    for (unsigned locks : kLockVariants) {
        if (on) {
            XGrabKey(display_, escape_, ControlMask | locks, root, False, GrabModeAsync,
                     GrabModeAsync);
        } else {
            XUngrabKey(display_, escape_, ControlMask | locks, root);
        }
    }
    trap.Failed();
}

void CancelKeyGrab::Enable() {
    if (enabled_) return;
    enabled_ = true;
    Grab(true);
}

void CancelKeyGrab::Disable() {
    if (!enabled_) return;
    enabled_ = false;
    Grab(false);
}

void CancelKeyGrab::OnReadable(int, void* self) {
    auto* grab = static_cast<CancelKeyGrab*>(self);
    bool cancel = false;
    while (XPending(grab->display_) > 0) {
        XEvent event;
        XNextEvent(grab->display_, &event);
        cancel |= event.type == KeyPress && event.xkey.keycode == grab->escape_;
    }
    if (cancel && grab->enabled_) grab->onCancel_();
}
