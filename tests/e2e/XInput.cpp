#include "XInput.h"

#include <X11/XKBlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <chrono>
#include <thread>

bool XInput::Available(Display* display) {
    int event = 0;
    int error = 0;
    int major = 0;
    int minor = 0;
    return XTestQueryExtension(display, &event, &error, &major, &minor);
}

KeyCode XInput::KeyCodeOf(KeySym keysym) const {
    return XKeysymToKeycode(display_, keysym);
}

void XInput::Sync() {
    XSync(display_, False);
}

void XInput::Key(KeySym keysym, bool press) {
    KeyCode code = KeyCodeOf(keysym);
    if (code == 0) return;
    XTestFakeKeyEvent(display_, code, press ? True : False, CurrentTime);
    Sync();
}

void XInput::KeyDown(KeySym keysym) {
    Key(keysym, true);
}
void XInput::KeyUp(KeySym keysym) {
    Key(keysym, false);
}

void XInput::Tap(KeySym keysym, std::initializer_list<KeySym> modifiers) {
    for (KeySym modifier : modifiers) KeyDown(modifier);
    KeyDown(keysym);
    KeyUp(keysym);
    for (auto it = std::rbegin(modifiers); it != std::rend(modifiers); ++it) KeyUp(*it);
}

bool XInput::Type(const std::string& text) {
    for (char c : text) {
        KeySym keysym = c == '\n' ? XK_Return : static_cast<KeySym>(static_cast<unsigned char>(c));
        KeyCode code = KeyCodeOf(keysym);
        if (code == 0) return false;
        bool shifted = XkbKeycodeToKeysym(display_, code, 0, 0) != keysym;
        if (shifted) {
            Tap(keysym, {XK_Shift_L});
        } else {
            Tap(keysym);
        }
    }
    return true;
}

void XInput::MoveTo(int x, int y) {
    XTestFakeMotionEvent(display_, -1, x, y, CurrentTime);
    Sync();
}

void XInput::MoveWithoutWaiting(int x, int y) {
    XTestFakeMotionEvent(display_, -1, x, y, CurrentTime);
    XFlush(display_);
}

void XInput::ButtonDown(unsigned button) {
    XTestFakeButtonEvent(display_, button, True, CurrentTime);
    Sync();
}

void XInput::ButtonUp(unsigned button) {
    XTestFakeButtonEvent(display_, button, False, CurrentTime);
    Sync();
}

void XInput::Click(unsigned button) {
    ButtonDown(button);
    ButtonUp(button);
}

void XInput::Wheel(int notches) {
    unsigned button = notches >= 0 ? 4 : 5;
    for (int i = 0; i < (notches >= 0 ? notches : -notches); ++i) Click(button);
}

void XInput::Pause(int milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}
