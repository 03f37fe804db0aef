// A small X client that logs the input it receives, one line per event, on standard output:
//   READY <window>                                     once mapped and focused
//   K <press|release> <keycode> <keysym> <state> <time>  keysym: the key's unshifted symbol
//   B <press|release> <button> <x_root> <y_root> <time>
//   M <x_root> <y_root> <time>
//   F <in|out> <mode> <detail>                          focus changes, for diagnosis
// <time> is the server's time stamp in milliseconds. The window keeps the input focus: it
// takes it back whenever it loses it, so that injected keys reach it.
//
// Usage: tapewright_event_client [x y width height]   (default 0 300 800 400)
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>

namespace {

struct Geometry {
    int x = 0;
    int y = 300;
    unsigned width = 800;
    unsigned height = 400;
};

Geometry ParseGeometry(int argc, char** argv) {
    Geometry geometry;
    if (argc == 5) {
        geometry.x = std::atoi(argv[1]);
        geometry.y = std::atoi(argv[2]);
        geometry.width = static_cast<unsigned>(std::atoi(argv[3]));
        geometry.height = static_cast<unsigned>(std::atoi(argv[4]));
    }
    return geometry;
}

Window CreateWindow(Display* display, const Geometry& geometry) {
    Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), geometry.x, geometry.y,
                                        geometry.width, geometry.height, 0, 0,
                                        WhitePixel(display, DefaultScreen(display)));
    XStoreName(display, window, "tapewright-event-client");
    // Ask for the position we chose, also from a window manager if one runs.
    XSizeHints hints{};
    hints.flags = USPosition | USSize;
    hints.x = geometry.x;
    hints.y = geometry.y;
    hints.width = static_cast<int>(geometry.width);
    hints.height = static_cast<int>(geometry.height);
    XSetWMNormalHints(display, window, &hints);
    XSelectInput(display, window,
                 KeyPressMask | KeyReleaseMask | ButtonPressMask | ButtonReleaseMask |
                     PointerMotionMask | FocusChangeMask | StructureNotifyMask);
    return window;
}

void TakeFocus(Display* display, Window window) {
    XSetInputFocus(display, window, RevertToPointerRoot, CurrentTime);
    XFlush(display);
}

void WaitForMap(Display* display, Window window) {
    XEvent event;
    do {
        XWindowEvent(display, window, StructureNotifyMask, &event);
    } while (event.type != MapNotify);
}

const char* PressText(bool press) {
    return press ? "press" : "release";
}

void LogKey(XKeyEvent& key) {
    KeySym keysym = XLookupKeysym(&key, 0);
    const char* name = keysym == NoSymbol ? "NoSymbol" : XKeysymToString(keysym);
    std::printf("K %s %u %s %u %lu\n", PressText(key.type == KeyPress), key.keycode,
                name != nullptr ? name : "NoSymbol", key.state, key.time);
}

void LogButton(const XButtonEvent& button) {
    std::printf("B %s %u %d %d %lu\n", PressText(button.type == ButtonPress), button.button,
                button.x_root, button.y_root, button.time);
}

void LogFocus(const XFocusChangeEvent& focus) {
    std::printf("F %s %d %d\n", focus.type == FocusIn ? "in" : "out", focus.mode, focus.detail);
}

}  // namespace

int main(int argc, char** argv) {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "tapewright_event_client: cannot open the display\n");
        return 1;
    }
    Window window = CreateWindow(display, ParseGeometry(argc, argv));
    XMapRaised(display, window);
    WaitForMap(display, window);
    TakeFocus(display, window);
    XSync(display, False);
    std::printf("READY %lu\n", window);
    std::fflush(stdout);

    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
        switch (event.type) {
            case KeyPress:
            case KeyRelease:
                LogKey(event.xkey);
                break;
            case ButtonPress:
            case ButtonRelease:
                LogButton(event.xbutton);
                break;
            case MotionNotify:
                std::printf("M %d %d %lu\n", event.xmotion.x_root, event.xmotion.y_root,
                            event.xmotion.time);
                break;
            case FocusIn:
                LogFocus(event.xfocus);
                break;
            case FocusOut:
                LogFocus(event.xfocus);
                // A grab (the Ctrl+Esc key grab, for one) moves the focus only for its time.
                if (event.xfocus.mode == NotifyNormal && event.xfocus.detail != NotifyInferior) {
                    TakeFocus(display, window);
                }
                break;
            default:
                continue;
        }
        std::fflush(stdout);
    }
}
