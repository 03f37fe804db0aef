#include "platform/x11/ServerClock.h"

#include <X11/Xatom.h>

#include "platform/posix/MonotonicClock.h"

ServerClock::~ServerClock() {
    if (window_ != 0) XDestroyWindow(display_, window_);
}

void ServerClock::Connect(Display* display) {
    display_ = display;
    window_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 1, 1, 0, 0, 0);
    XSelectInput(display_, window_, PropertyChangeMask);
    property_ = XInternAtom(display_, "_TAPEWRIGHT_CLOCK", False);
}

// An empty append to a property of our own window changes nothing but makes the server
// send a PropertyNotify stamped with its current time.
void ServerClock::Measure() {
    if (window_ == 0) return;
    const uint32_t before = MonotonicTick();
    XChangeProperty(display_, window_, property_, XA_INTEGER, 8, PropModeAppend, nullptr, 0);
    XEvent event;
    XWindowEvent(display_, window_, PropertyChangeMask, &event);
    const uint32_t after = MonotonicTick();
    offset_ = ServerClockOffset(before, static_cast<uint32_t>(event.xproperty.time), after);
}
