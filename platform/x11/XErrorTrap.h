#pragma once
// Catches X protocol errors for the lifetime of the object instead of letting Xlib's default
// handler end the program; Failed() syncs and tells whether any arrived.
#include <X11/Xlib.h>

class XErrorTrap {
  public:
    explicit XErrorTrap(Display* display) : display_(display) {
        failed_ = false;
        previous_ = XSetErrorHandler(&XErrorTrap::Handle);
    }
    ~XErrorTrap() { XSetErrorHandler(previous_); }
    XErrorTrap(const XErrorTrap&) = delete;
    XErrorTrap& operator=(const XErrorTrap&) = delete;

    bool Failed() {
        XSync(display_, False);
        return failed_;
    }

  private:
    static int Handle(Display*, XErrorEvent*) {
        failed_ = true;
        return 0;
    }

    Display* display_;
    int (*previous_)(Display*, XErrorEvent*) = nullptr;
    static inline bool failed_ = false;
};
