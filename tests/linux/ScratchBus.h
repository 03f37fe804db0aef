#pragma once
// A session bus of a test's own (a dbus-daemon on a socket in a scratch directory, named by
// DBUS_SESSION_BUS_ADDRESS while the object lives), and a peer on it whose connection a
// thread serves, for fake services.
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <systemd/sd-bus.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "ScratchDirectory.h"

class ScratchBus {
  public:
    ScratchBus() {
        address_ = "unix:path=" + directory_.File("bus");
        pid_ = fork();
        if (pid_ == 0) {
            execlp("dbus-daemon", "dbus-daemon", "--session", "--nofork", "--nopidfile",
                   ("--address=" + address_).c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        if (const char* old = std::getenv("DBUS_SESSION_BUS_ADDRESS")) saved_ = old;
        setenv("DBUS_SESSION_BUS_ADDRESS", address_.c_str(), 1);
    }
    ~ScratchBus() {
        if (saved_.empty()) {
            unsetenv("DBUS_SESSION_BUS_ADDRESS");
        } else {
            setenv("DBUS_SESSION_BUS_ADDRESS", saved_.c_str(), 1);
        }
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }
    ScratchBus(const ScratchBus&) = delete;
    ScratchBus& operator=(const ScratchBus&) = delete;
    const std::string& Address() const { return address_; }

  private:
    ScratchDirectory directory_;
    std::string address_;
    std::string saved_;
    pid_t pid_ = -1;
};

// One connection to the bus at address, served on a thread of its own; Use runs on the
// caller's thread with the connection held.
class BusPeer {
  public:
    explicit BusPeer(const std::string& address) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (std::chrono::steady_clock::now() < deadline) {  // until the daemon listens
            sd_bus* bus = nullptr;
            if (sd_bus_new(&bus) >= 0 && sd_bus_set_address(bus, address.c_str()) >= 0 &&
                sd_bus_set_bus_client(bus, 1) >= 0 && sd_bus_start(bus) >= 0) {
                bus_ = bus;
                break;
            }
            sd_bus_unref(bus);
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        if (bus_ != nullptr) thread_ = std::thread([this] { Serve(); });
    }
    ~BusPeer() {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
        if (bus_ != nullptr) sd_bus_flush_close_unref(bus_);
    }
    BusPeer(const BusPeer&) = delete;
    BusPeer& operator=(const BusPeer&) = delete;
    bool Connected() const { return bus_ != nullptr; }

    void Use(const std::function<void(sd_bus*)>& action) {
        std::lock_guard lock(mutex_);
        action(bus_);
        sd_bus_flush(bus_);
    }

  private:
    void Serve() {
        while (!stop_) {
            {
                std::lock_guard lock(mutex_);
                while (sd_bus_process(bus_, nullptr) > 0) {
                }
            }
            pollfd ready{sd_bus_get_fd(bus_), POLLIN, 0};
            poll(&ready, 1, 5);
        }
    }

    sd_bus* bus_ = nullptr;
    std::mutex mutex_;
    std::atomic<bool> stop_ = false;
    std::thread thread_;
};
