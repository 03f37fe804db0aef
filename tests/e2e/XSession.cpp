#include "XSession.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <fstream>
#include <set>
#include <thread>

namespace {

int IgnoreError(Display*, XErrorEvent*) {
    return 0;
}

int ShiftOf(unsigned long mask) {
    int shift = 0;
    while (mask != 0 && (mask & 1u) == 0) {
        mask >>= 1;
        ++shift;
    }
    return shift;
}

}  // namespace

uint32_t Image::Pixel(int x, int y) const {
    std::size_t at = (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                      static_cast<std::size_t>(x)) *
                     3;
    return static_cast<uint32_t>(rgb[at] << 16 | rgb[at + 1] << 8 | rgb[at + 2]);
}

std::size_t Image::ColourCount(int x, int y, int w, int h) const {
    std::set<uint32_t> colours;
    for (int row = std::max(0, y); row < std::min(height, y + h); ++row) {
        for (int column = std::max(0, x); column < std::min(width, x + w); ++column) {
            colours.insert(Pixel(column, row));
        }
    }
    return colours.size();
}

bool Image::WritePpm(const std::string& path) const {
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << width << " " << height << "\n255\n";
    out.write(reinterpret_cast<const char*>(rgb.data()), static_cast<std::streamsize>(rgb.size()));
    return static_cast<bool>(out);
}

XSession::XSession(const std::string& displayName) {
    XSetErrorHandler(&IgnoreError);
    display_ = XOpenDisplay(displayName.c_str());
}

XSession::~XSession() {
    if (display_ != nullptr) XCloseDisplay(display_);
}

std::string XSession::WindowName(Window window) {
    Atom netName = XInternAtom(display_, "_NET_WM_NAME", False);
    Atom utf8 = XInternAtom(display_, "UTF8_STRING", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    std::string name;
    if (XGetWindowProperty(display_, window, netName, 0, 1024, False, utf8, &type, &format, &count,
                           &after, &data) == Success &&
        data != nullptr) {
        name.assign(reinterpret_cast<char*>(data), count);
    }
    if (data != nullptr) XFree(data);
    if (name.empty()) {
        char* plain = nullptr;
        if (XFetchName(display_, window, &plain) && plain != nullptr) name = plain;
        if (plain != nullptr) XFree(plain);
    }
    return name;
}

std::string XSession::WindowClass(Window window) {
    XClassHint hint{};
    if (!XGetClassHint(display_, window, &hint)) return std::string();
    std::string joined = std::string(hint.res_name ? hint.res_name : "") + "," +
                         (hint.res_class ? hint.res_class : "");
    if (hint.res_name != nullptr) XFree(hint.res_name);
    if (hint.res_class != nullptr) XFree(hint.res_class);
    return joined;
}

std::vector<WindowInfo> XSession::TopLevelWindows() {
    std::vector<WindowInfo> windows;
    Window root = DefaultRootWindow(display_);
    Window rootReturn = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display_, root, &rootReturn, &parent, &children, &count)) return windows;
    for (unsigned int i = 0; i < count; ++i) {
        XWindowAttributes attributes{};
        if (!XGetWindowAttributes(display_, children[i], &attributes)) continue;
        WindowInfo info;
        info.id = children[i];
        info.name = WindowName(children[i]);
        info.wmClass = WindowClass(children[i]);
        Window child = 0;
        XTranslateCoordinates(display_, children[i], root, 0, 0, &info.x, &info.y, &child);
        info.width = attributes.width;
        info.height = attributes.height;
        info.viewable = attributes.map_state == IsViewable;
        windows.push_back(info);
    }
    if (children != nullptr) XFree(children);
    return windows;
}

std::optional<WindowInfo> XSession::FindWindow(
    const std::function<bool(const WindowInfo&)>& match) {
    for (const WindowInfo& window : TopLevelWindows()) {
        if (match(window)) return window;
    }
    return std::nullopt;
}

std::optional<WindowInfo> XSession::WaitForWindow(
    const std::function<bool(const WindowInfo&)>& match, std::chrono::milliseconds timeout) {
    auto deadline = std::chrono::steady_clock::now() + timeout;
    do {
        if (auto window = FindWindow(match)) return window;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    } while (std::chrono::steady_clock::now() < deadline);
    return std::nullopt;
}

std::vector<int> XSession::KeysHeld() {
    char keys[32] = {};
    XQueryKeymap(display_, keys);
    std::vector<int> held;
    for (int code = 0; code < 256; ++code) {
        if ((keys[code / 8] >> (code % 8)) & 1) held.push_back(code);
    }
    return held;
}

namespace {

struct PointerState {
    int x = 0;
    int y = 0;
    unsigned mask = 0;
};

PointerState QueryPointer(Display* display) {
    PointerState state;
    Window root = 0;
    Window child = 0;
    int windowX = 0;
    int windowY = 0;
    XQueryPointer(display, DefaultRootWindow(display), &root, &child, &state.x, &state.y, &windowX,
                  &windowY, &state.mask);
    return state;
}

}  // namespace

std::pair<int, int> XSession::Pointer() {
    PointerState state = QueryPointer(display_);
    return {state.x, state.y};
}

unsigned XSession::PointerMask() {
    return QueryPointer(display_).mask;
}

void XSession::SetAutoRepeat(bool on) {
    if (on) {
        XAutoRepeatOn(display_);
    } else {
        XAutoRepeatOff(display_);
    }
    XSync(display_, False);
}

void XSession::RequestClose(Window window) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display_, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display_, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display_, window, False, NoEventMask, &event);
    XSync(display_, False);
}

void XSession::Focus(Window window) {
    XSetInputFocus(display_, window, RevertToPointerRoot, CurrentTime);
    XSync(display_, False);
}

Image XSession::Capture(int x, int y, int width, int height) {
    Image image;
    XImage* shot =
        XGetImage(display_, DefaultRootWindow(display_), x, y, static_cast<unsigned>(width),
                  static_cast<unsigned>(height), AllPlanes, ZPixmap);
    if (shot == nullptr) return image;
    image.width = width;
    image.height = height;
    image.rgb.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
    const int redShift = ShiftOf(shot->red_mask);
    const int greenShift = ShiftOf(shot->green_mask);
    const int blueShift = ShiftOf(shot->blue_mask);
    for (int row = 0; row < height; ++row) {
        for (int column = 0; column < width; ++column) {
            unsigned long pixel = XGetPixel(shot, column, row);
            image.rgb.push_back(static_cast<uint8_t>((pixel & shot->red_mask) >> redShift));
            image.rgb.push_back(static_cast<uint8_t>((pixel & shot->green_mask) >> greenShift));
            image.rgb.push_back(static_cast<uint8_t>((pixel & shot->blue_mask) >> blueShift));
        }
    }
    XDestroyImage(shot);
    return image;
}
