#pragma once
// Serves a Wayland connection on a thread of its own: dispatches each event as it arrives
// (the listeners run on that thread) until stopped, so that what the compositor sends is
// received, and can be stamped, while the UI loop is busy. The connection must not be used
// elsewhere meanwhile.
#include <string>
#include <thread>

struct wl_display;

class DisplayThread {
  public:
    DisplayThread() = default;
    ~DisplayThread() { Stop(); }
    DisplayThread(const DisplayThread&) = delete;
    DisplayThread& operator=(const DisplayThread&) = delete;

    // False, with errno's text in error, when the thread cannot be made ready.
    bool Start(wl_display* display, std::string& error);
    // Returns once the thread has ended; the connection is then the caller's again.
    void Stop();

  private:
    void Serve(wl_display* display);

    std::thread thread_;
    int wake_ = -1;  // an eventfd: written to stop the thread
};
