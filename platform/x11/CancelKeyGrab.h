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
    void Disable();

private:
    static void OnReadable(int fd, void* self);
    void Grab(bool on);

    Display* display_;
    std::function<void()> onCancel_;
    KeyCode escape_ = 0;
    bool enabled_ = false;
};
