#pragma once
// A thread that serves one connection until it is stopped: the serving function waits on the
// connection's descriptor and on the wake descriptor it is given, and returns once the wake
// descriptor is readable (or the connection has broken).
#include <functional>
#include <string>
#include <thread>

class ServingThread {
  public:
    using Serve = std::function<void(int wake)>;

    ServingThread() = default;
    ~ServingThread() { Stop(); }
    ServingThread(const ServingThread&) = delete;
    ServingThread& operator=(const ServingThread&) = delete;

    // False, with errno's text in error, when the thread cannot be made ready.
    bool Start(Serve serve, std::string& error);
    // Returns once the thread has ended.
    void Stop();

  private:
    std::thread thread_;
    int wake_ = -1;  // an eventfd: written to stop the thread
};
