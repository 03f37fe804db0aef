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

CancelKeyGrab::~CancelKeyGrab() {
    Fl::remove_timeout(&CancelKeyGrab::OnLetGo, this);
    Fl::remove_fd(ConnectionNumber(display_));
}

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
    Fl::remove_timeout(&CancelKeyGrab::OnLetGo, this);
    if (grabbed_) {
        enabled_ = true;
        return;
    }
    enabled_ = grabbed_ = true;
    Grab(true);
}

void CancelKeyGrab::Disable() {
    if (!enabled_) return;
    enabled_ = false;
    Fl::add_timeout(0.0, &CancelKeyGrab::OnLetGo, this);
}

void CancelKeyGrab::OnLetGo(void* self) {
    auto* grab = static_cast<CancelKeyGrab*>(self);
    if (grab->enabled_ || !grab->grabbed_) return;
    grab->grabbed_ = false;
    grab->Grab(false);
}

void CancelKeyGrab::OnReadable(int, void* self) {
    auto* grab = static_cast<CancelKeyGrab*>(self);
    bool cancel = false;
    while (XPending(grab->display_) > 0) {
        XEvent event;
        XNextEvent(grab->display_, &event);
        cancel |= event.type == KeyPress && event.xkey.keycode == grab->escape_;
    }
    if (!cancel || !grab->enabled_) return;
    // The Esc press has made our passive grab active: end it, so that the keys the journal
    // releases next reach the windows that got their presses.
    XUngrabKeyboard(grab->display_, CurrentTime);
    XFlush(grab->display_);
    grab->onCancel_();
}
