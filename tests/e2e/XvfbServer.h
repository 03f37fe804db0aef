#pragma once
// A private Xvfb server for one test run: started on a free display number (the server
// picks it and reports it through -displayfd), waited for until it accepts connections,
// and ended when the object goes away.
#include <chrono>
#include <string>

#include "ChildProcess.h"

class XvfbServer {
  public:
    XvfbServer() = default;
    ~XvfbServer();
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    // Starts the server with one 1280x1024x24 screen. False on failure; Error() says why.
    bool Start(std::chrono::milliseconds timeout = std::chrono::seconds(20));
    void Stop();

    // ":N", for DISPLAY and XOpenDisplay.
    const std::string& DisplayName() const { return displayName_; }
    const std::string& Error() const { return error_; }

    static constexpr int kWidth = 1280;
    static constexpr int kHeight = 1024;

  private:
    bool ReadDisplayNumber(int fd, std::chrono::milliseconds timeout);
    bool WaitForConnection(std::chrono::milliseconds timeout);

    ChildProcess process_;
    std::string displayName_;
    std::string error_;
};
