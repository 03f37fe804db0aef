#include "platform/win32/PhysicalPixels.h"

#include <vector>

#include "platform/win32/SystemFunctions.h"

namespace {

using SetContextFunction = HANDLE(WINAPI*)(HANDLE);
using PhysicalCursorFunction = BOOL(WINAPI*)(LPPOINT);

// DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2 and its first version.
const auto kPerMonitorAwareV2 = reinterpret_cast<HANDLE>(static_cast<intptr_t>(-4));
const auto kPerMonitorAware = reinterpret_cast<HANDLE>(static_cast<intptr_t>(-3));

// The calling thread is per-monitor aware while this exists, where the system can do that.
class PerMonitorAwareness {
  public:
    PerMonitorAwareness() {
        static const auto set =
            SystemFunction<SetContextFunction>(L"user32.dll", "SetThreadDpiAwarenessContext");
        set_ = set;
        if (set_ == nullptr) return;
        previous_ = set_(kPerMonitorAwareV2);
        if (previous_ == nullptr) previous_ = set_(kPerMonitorAware);
    }
    ~PerMonitorAwareness() {
        if (previous_ != nullptr) set_(previous_);
    }
    PerMonitorAwareness(const PerMonitorAwareness&) = delete;
    PerMonitorAwareness& operator=(const PerMonitorAwareness&) = delete;
    bool Active() const { return previous_ != nullptr; }

  private:
    SetContextFunction set_ = nullptr;
    HANDLE previous_ = nullptr;
};

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM list) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoW(monitor, &info))
        reinterpret_cast<std::vector<RECT>*>(list)->push_back(info.rcMonitor);
    return TRUE;
}

// Each monitor's current display mode: its physical pixels, placed on the desktop.
std::vector<RECT> MonitorsByDisplayMode() {
    std::vector<RECT> monitors;
    DISPLAY_DEVICEW device{};
    device.cb = sizeof device;
    for (DWORD at = 0; EnumDisplayDevicesW(nullptr, at, &device, 0); ++at) {
        if ((device.StateFlags & DISPLAY_DEVICE_ATTACHED_TO_DESKTOP) == 0) continue;
        DEVMODEW mode{};
        mode.dmSize = sizeof mode;
        if (!EnumDisplaySettingsExW(device.DeviceName, ENUM_CURRENT_SETTINGS, &mode, 0)) continue;
        const LONG left = mode.dmPosition.x;
        const LONG top = mode.dmPosition.y;
        monitors.push_back(RECT{left, top, left + static_cast<LONG>(mode.dmPelsWidth),
                                top + static_cast<LONG>(mode.dmPelsHeight)});
    }
    return monitors;
}

}  // namespace

ScreenArea PhysicalDesktop() {
    std::vector<RECT> monitors;
    {
        PerMonitorAwareness aware;
        if (aware.Active()) {
            EnumDisplayMonitors(nullptr, nullptr, &AddMonitor, reinterpret_cast<LPARAM>(&monitors));
        }
    }
    if (monitors.empty()) monitors = MonitorsByDisplayMode();
    if (monitors.empty()) {
        // Nothing better known: the system's own figures.
        return ScreenArea{GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                          GetSystemMetrics(SM_CXVIRTUALSCREEN),
                          GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    }
    return DesktopOf(monitors);
}

std::optional<POINT> PhysicalCursorPosition() {
    POINT at{};
    PerMonitorAwareness aware;
    if (aware.Active()) return GetCursorPos(&at) ? std::optional<POINT>(at) : std::nullopt;
    // Windows Vista to 8.1; before Vista nothing is scaled.
    static const auto physical =
        SystemFunction<PhysicalCursorFunction>(L"user32.dll", "GetPhysicalCursorPos");
    const BOOL known = physical != nullptr ? physical(&at) : GetCursorPos(&at);
    return known ? std::optional<POINT>(at) : std::nullopt;
}
