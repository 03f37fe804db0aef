#pragma once
// Serves a Wayland connection on a thread of its own: dispatches each event as it arrives
// (the listeners run on that thread) until stopped, so that what the compositor sends is
// received, and can be stamped, while the UI loop is busy. The connection must not be used
// elsewhere meanwhile.
#include <string>

#include "platform/wayland/ServingThread.h"

struct wl_display;

class DisplayThread {
  public:
    // False, with errno's text in error, when the thread cannot be made ready.
    bool Start(wl_display* display, std::string& error);
    // Returns once the thread has ended; the connection is then the caller's again.
    void Stop() { thread_.Stop(); }

  private:
    static void Serve(wl_display* display, int wake);

    ServingThread thread_;
};
