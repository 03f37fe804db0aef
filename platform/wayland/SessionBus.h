#pragma once
// Owning handles for sd-bus objects, and the text of a failed call.
#include <systemd/sd-bus.h>

#include <memory>
#include <string>

struct BusCloser {
    void operator()(sd_bus* bus) const { sd_bus_flush_close_unref(bus); }
};
struct MessageUnref {
    void operator()(sd_bus_message* message) const { sd_bus_message_unref(message); }
};
using BusHandle = std::unique_ptr<sd_bus, BusCloser>;
using MessageHandle = std::unique_ptr<sd_bus_message, MessageUnref>;

// An sd_bus_error that frees itself.
class BusError {
  public:
    BusError() = default;
    ~BusError() { sd_bus_error_free(&error_); }
    BusError(const BusError&) = delete;
    BusError& operator=(const BusError&) = delete;

    sd_bus_error* get() { return &error_; }
    bool Is(const char* name) const { return sd_bus_error_has_name(&error_, name); }
    // The service's message, or else the errno's text.
    std::string Text(int result) const;

  private:
    sd_bus_error error_ = SD_BUS_ERROR_NULL;
};
