#pragma once
// Input as a user would give it, injected through XTEST on the harness's own connection.
// Every call is synchronous: when it returns, the server has processed the events.
#include <X11/Xlib.h>

#include <initializer_list>
#include <string>

class XInput {
  public:
    explicit XInput(Display* display) : display_(display) {}

    static bool Available(Display* display);

    // The key code that gives keysym in the current mapping, 0 when none does.
    KeyCode KeyCodeOf(KeySym keysym) const;

    void KeyDown(KeySym keysym);
    void KeyUp(KeySym keysym);
    // Presses the modifiers in order, taps the key, releases the modifiers in reverse.
    void Tap(KeySym keysym, std::initializer_list<KeySym> modifiers = {});
    // Types printable ASCII text (and '\n' as Return), using Shift where the character
    // lies on the second level of its key. False if a character has no key.
    bool Type(const std::string& text);

    void MoveTo(int x, int y);
    // Sends a pointer move without waiting for the server, for bursts; WaitForServer ends
    // the burst.
    void MoveWithoutWaiting(int x, int y);
    void WaitForServer() { Sync(); }
    void ButtonDown(unsigned button);
    void ButtonUp(unsigned button);
    void Click(unsigned button = 1);
    // One wheel notch per step: up (away from the user) for positive notches.
    void Wheel(int notches);

    // Pause between steps, so that the server's time stamps tell them apart.
    static void Pause(int milliseconds);

  private:
    void Key(KeySym keysym, bool press);
    void Sync();

    Display* display_;
};
