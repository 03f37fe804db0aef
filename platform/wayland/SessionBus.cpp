#include "platform/wayland/SessionBus.h"

#include <cstring>

std::string BusError::Text(int result) const {
    if (sd_bus_error_is_set(&error_) && error_.message != nullptr) return error_.message;
    return std::strerror(result < 0 ? -result : result);
}
