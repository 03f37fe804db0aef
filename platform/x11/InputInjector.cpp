#include "platform/x11/InputInjector.h"

#include <X11/extensions/XTest.h>

#include "platform/x11/InputPlan.h"
#include "platform/x11/X11Keyboard.h"

bool InputInjector::Available(Display* display) {
    int event = 0;
    int error = 0;
    int major = 0;
    int minor = 0;
    return XTestQueryExtension(display, &event, &error, &major, &minor);
}

void InputInjector::ReadLayout() {
    layout_ = ReadKeyboardLayout(display_);
    keycodes_ = ReadKeycodeTranslation(display_);
    wheel_.Reset();
}

bool InputInjector::IsKeycode(uint32_t keycode) const {
    int lowest = 0;
    int highest = 0;
    XDisplayKeycodes(display_, &lowest, &highest);
    return static_cast<int>(keycode) >= lowest && static_cast<int>(keycode) <= highest;
}

void InputInjector::Apply(const EVENTMSG& record) {
    EVENTMSG played = record;
    const bool vertical = record.message == msg::kMouseWheel;
    if (vertical || record.message == msg::kMouseHWheel) {
        played.hwnd =
            static_cast<uint32_t>(wheel_.Take(static_cast<int32_t>(record.hwnd), vertical));
    }
    const KeypadQuery keypadGivesDigits = [this] { return KeypadGivesDigits(display_); };
    for (const InputAction& action : PlanInput(played, layout_, keypadGivesDigits)) {
        switch (action.kind) {
            case InputAction::Motion:
                // The coordinates are those of the program's own screen. Named, the
                // server adds that screen's place on the desktop; -1 would take them as
                // desktop coordinates, another screen's on a classic multi-screen server.
                XTestFakeMotionEvent(display_, DefaultScreen(display_), action.x, action.y,
                                     CurrentTime);
                break;
            case InputAction::Button:
                XTestFakeButtonEvent(display_, action.code, action.press, CurrentTime);
                if (action.press) {
                    buttons_.insert(action.code);
                } else {
                    buttons_.erase(action.code);
                }
                break;
            case InputAction::Key: {
                const unsigned keycode = keycodes_.ToServer(action.code);
                if (keycode == 0 || !IsKeycode(keycode)) break;
                XTestFakeKeyEvent(display_, keycode, action.press, CurrentTime);
                if (action.press) {
                    keys_.insert(keycode);
                } else {
                    keys_.erase(keycode);
                }
                break;
            }
        }
    }
    XFlush(display_);
}

void InputInjector::ReleaseAll() {
    for (unsigned button : buttons_) XTestFakeButtonEvent(display_, button, False, CurrentTime);
    for (unsigned keycode : keys_) XTestFakeKeyEvent(display_, keycode, False, CurrentTime);
    bool any = !buttons_.empty() || !keys_.empty();
    buttons_.clear();
    keys_.clear();
    // Wait until the server has taken the releases: the program may be about to exit.
    if (any) XSync(display_, False);
}
