#pragma once
// Ctrl+Esc, grabbed on the root window while a journal hook is installed: the user's way to
// take the input back from a running playback or recording.
#include <X11/Xlib.h>

#include <functional>

class CancelKeyGrab {
  public:
    CancelKeyGrab(Display* display, std::function<void()> onCancel);
    ~CancelKeyGrab();

    void Enable();
    // The grab is let go from the UI loop, not at once: between two passes of a run the hook
    // is removed and installed again at once, and a Ctrl+Esc must not slip through then.
    void Disable();

  private:
    static void OnReadable(int fd, void* self);
    static void OnCheck(void* self);
    static void OnLetGo(void* self);
    void TakeEvents();
    void Grab(bool on);

    Display* display_;
    std::function<void()> onCancel_;
    KeyCode escape_ = 0;
    bool enabled_ = false;  // a hook is installed
    bool grabbed_ = false;  // the key is grabbed on the server
};
