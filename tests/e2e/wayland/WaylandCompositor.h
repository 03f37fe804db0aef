#pragma once
// A headless Wayland compositor for one test run. Compositors refuse to run as root, so when
// the tests run as root the compositor runs as another user: TAPEWRIGHT_COMPOSITOR_USER, else
// nobody. It gets a runtime directory of its own (XDG_RUNTIME_DIR, mode 0700, owned by that
// user), is waited for until its socket accepts a connection, and is ended with the object.
// Root's clients reach the socket by its absolute path. Each compositor is a subclass that
// says how to start it.
#include <chrono>
#include <string>
#include <utility>
#include <vector>

#include "ChildProcess.h"

using Environment = std::vector<std::pair<std::string, std::string>>;

class WaylandCompositor {
  public:
    virtual ~WaylandCompositor();
    WaylandCompositor(const WaylandCompositor&) = delete;
    WaylandCompositor& operator=(const WaylandCompositor&) = delete;

    // False on failure; Error() says why (for a skipped test's message).
    bool Start(std::chrono::milliseconds timeout = std::chrono::seconds(30));
    void Stop();

    // For WAYLAND_DISPLAY: the socket's absolute path.
    const std::string& SocketPath() const { return socketPath_; }
    const std::string& RuntimeDirectory() const { return runtimeDirectory_; }
    // WAYLAND_DISPLAY and XDG_RUNTIME_DIR for a client of this compositor.
    Environment ClientEnvironment() const;
    const std::string& Error() const { return error_; }
    // The compositor's standard error so far, for a failing test's message.
    std::string Log() const;

    // The words that run a command as the compositor's user (none when the tests are not
    // root): for a client that the compositor admits by its user or its executable.
    std::vector<std::string> AsUser() const;
    // Gives path, and what a directory holds, to the compositor's user. False on failure.
    bool GiveToUser(const std::string& path) const;
    // The compositor's user and group, once started.
    unsigned UserId() const { return userId_; }
    unsigned GroupId() const { return groupId_; }

  protected:
    // prefix: the runtime directory's name starts with it (under /tmp).
    explicit WaylandCompositor(std::string prefix) : prefix_(std::move(prefix)) {}

    // The command and its environment; the runtime directory exists when they are asked for,
    // so a configuration file can be written into it first (WriteFile).
    virtual std::vector<std::string> Command() = 0;
    virtual Environment CommandEnvironment() = 0;
    // The socket's name in the runtime directory; empty: the first "wayland-N" that appears.
    virtual std::string SocketName() const { return std::string(); }

    // Writes name into the runtime directory, readable by the compositor's user. Its path,
    // empty on failure.
    std::string WriteFile(const std::string& name, const std::string& text);

  private:
    bool MakeRuntimeDirectory();
    bool WaitForSocket(std::chrono::milliseconds timeout);
    std::string FindSocket() const;

    std::string prefix_;
    std::string runtimeDirectory_;
    std::string socketPath_;
    std::string error_;
    unsigned userId_ = 0;
    unsigned groupId_ = 0;
    bool switchUser_ = false;
    ChildProcess process_;
};
