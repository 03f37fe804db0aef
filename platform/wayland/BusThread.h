#pragma once
// Serves a bus connection on a thread of its own: handles each message as it arrives (the
// callbacks registered on the connection run on that thread) until stopped, so that the UI
// loop never waits for the bus. The connection must not be used elsewhere meanwhile.
#include <systemd/sd-bus.h>

#include <string>

#include "platform/wayland/ServingThread.h"

class BusThread {
  public:
    // False, with errno's text in error, when the thread cannot be made ready.
    bool Start(sd_bus* bus, std::string& error);
    // Returns once the thread has ended; the connection is then the caller's again.
    void Stop() { thread_.Stop(); }

  private:
    static void Serve(sd_bus* bus, int wake);

    ServingThread thread_;
};
