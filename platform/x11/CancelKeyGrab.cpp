#include "platform/x11/CancelKeyGrab.h"

#include <FL/Fl.H>
#include <X11/keysym.h>

#include <iterator>

#include "platform/x11/XErrorTrap.h"

namespace {
// Ctrl+Esc counts whatever else is held: Shift, Alt, AltGr, the lock keys or any other
// modifier that the macro or the user holds at the time. A passive grab matches one exact
// modifier state, so the key is grabbed under Ctrl combined with every set of the others.
constexpr unsigned kOtherModifiers[] = {ShiftMask, LockMask, Mod1Mask, Mod2Mask,
                                        Mod3Mask,  Mod4Mask, Mod5Mask};
constexpr unsigned kModifierSets = 1u << std::size(kOtherModifiers);

unsigned ModifierSet(unsigned index) {
    unsigned mask = ControlMask;
    for (unsigned bit = 0; bit < std::size(kOtherModifiers); ++bit) {
        if ((index & (1u << bit)) != 0) mask |= kOtherModifiers[bit];
    }
    return mask;
}
}  // namespace

CancelKeyGrab::CancelKeyGrab(Display* display, std::function<void()> onCancel)
    : display_(display), onCancel_(std::move(onCancel)) {
    escape_ = XKeysymToKeycode(display_, XK_Escape);
    if (XModifierKeymap* modifiers = XGetModifierMapping(display_)) {
        const int perModifier = modifiers->max_keypermod;
        for (int i = 0; i < perModifier; ++i) {
            const KeyCode keycode = modifiers->modifiermap[ControlMapIndex * perModifier + i];
            if (keycode != 0) controls_.set(keycode);
        }
        XFreeModifiermap(modifiers);
    }
    Fl::add_fd(ConnectionNumber(display_), FL_READ, &CancelKeyGrab::OnReadable, this);
    // An XSync on this connection (the journal's own requests) can move a queued Ctrl+Esc
    // into Xlib's queue, where no readable descriptor announces it: look there before each
    // wait of the UI loop.
    Fl::add_check(&CancelKeyGrab::OnCheck, this);
}

CancelKeyGrab::~CancelKeyGrab() {
    Fl::remove_check(&CancelKeyGrab::OnCheck, this);
    Fl::remove_timeout(&CancelKeyGrab::OnLetGo, this);
    Fl::remove_fd(ConnectionNumber(display_));
}

void CancelKeyGrab::Grab(bool on) {
    if (escape_ == 0) return;
    Window root = DefaultRootWindow(display_);
    XErrorTrap trap(display_);  // another client may hold the same grab
    for (unsigned index = 0; index < kModifierSets; ++index) {
        if (on) {
            XGrabKey(display_, escape_, ModifierSet(index), root, False, GrabModeAsync,
                     GrabModeAsync);
        } else {
            XUngrabKey(display_, escape_, ModifierSet(index), root);
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
    static_cast<CancelKeyGrab*>(self)->TakeEvents();
}

void CancelKeyGrab::OnCheck(void* self) {
    auto* grab = static_cast<CancelKeyGrab*>(self);
    if (XQLength(grab->display_) > 0) grab->TakeEvents();
}

void CancelKeyGrab::TakeEvents() {
    Time pressed = CurrentTime;
    bool cancel = false;
    while (XPending(display_) > 0) {
        XEvent event;
        XNextEvent(display_, &event);
        if (event.type == KeyPress && event.xkey.keycode == escape_) {
            cancel = true;
            pressed = event.xkey.time;
        }
    }
    if (cancel) Cancel(pressed);
}

bool CancelKeyGrab::ControlHeld() const {
    return (held_ & controls_).any();
}

bool CancelKeyGrab::Watch(const XDeviceEvent& event) {
    if (event.type != KeyPress && event.type != KeyRelease) return false;
    if (event.detail >= held_.size()) return false;
    held_[event.detail] = event.type == KeyPress;
    if (event.type != KeyPress || event.detail != escape_ || !ControlHeld()) return false;
    return Cancel(event.time);
}

bool CancelKeyGrab::Cancel(Time pressed) {
    if (!enabled_ || pressed == lastCancel_) return false;
    lastCancel_ = pressed;
    // Where the Esc press has made our passive grab active, end it, so that the keys the
    // journal releases next reach the windows that got their presses.
    XUngrabKeyboard(display_, CurrentTime);
    XFlush(display_);
    onCancel_();
    return true;
}
