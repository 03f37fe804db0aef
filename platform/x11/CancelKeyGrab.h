#pragma once
// Ctrl+Esc while a journal hook is installed: the user's way to take the input back from a
// running playback or recording. Only one client may grab a key on the root window, and a
// desktop's menu, a virtual machine or a remote-desktop viewer may hold it; so the key is
// also watched for in the device events that RECORD reports, which no grab takes away. The
// grab, where it succeeds, keeps Ctrl+Esc from reaching other programs.
#include <X11/Xlib.h>

#include <bitset>
#include <functional>

#include "platform/x11/EventTranslator.h"

class CancelKeyGrab {
  public:
    CancelKeyGrab(Display* display, std::function<void()> onCancel);
    ~CancelKeyGrab();

    void Enable();
    // Follows the keys as RECORD reports them; keysDown: the keyboard as the reports begin.
    void StartWatching(const std::bitset<256>& keysDown) { held_ = keysDown; }
    // True when the event was a cancelling Ctrl+Esc press.
    bool Watch(const XDeviceEvent& event);
    // The grab is let go from the UI loop, not at once: between two passes of a run the hook
    // is removed and installed again at once, and a Ctrl+Esc must not slip through then.
    void Disable();

  private:
    static void OnReadable(int fd, void* self);
    static void OnCheck(void* self);
    static void OnLetGo(void* self);
    void TakeEvents();
    void Grab(bool on);
    bool ControlHeld() const;
    // Both ways may see the same press; it cancels once.
    bool Cancel(Time pressed);

    Display* display_;
    std::function<void()> onCancel_;
    KeyCode escape_ = 0;
    std::bitset<256> controls_;  // the key codes that give the Control modifier
    std::bitset<256> held_;      // by the device events watched
    Time lastCancel_ = CurrentTime;
    bool enabled_ = false;  // a hook is installed
    bool grabbed_ = false;  // the key is grabbed on the server
};
