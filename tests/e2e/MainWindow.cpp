#include "MainWindow.h"

#include <X11/keysym.h>

#include <algorithm>

#include "ProgramRunner.h"

using namespace std::chrono_literals;

bool WaitUntilDrawn(XSession& session, const WindowInfo& window,
                    std::chrono::milliseconds timeout) {
    // Only the part on the screen can be looked at; a window wholly off it has none.
    Display* display = session.Handle();
    const int left = std::max(window.x, 0);
    const int top = std::max(window.y, 0);
    const int right =
        std::min(window.x + window.width, DisplayWidth(display, DefaultScreen(display)));
    const int bottom =
        std::min(window.y + window.height, DisplayHeight(display, DefaultScreen(display)));
    if (right <= left || bottom <= top) return true;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    Image last;
    while (std::chrono::steady_clock::now() < deadline) {
        Image now = session.Capture(left, top, right - left, bottom - top);
        if (now.rgb == last.rgb && now.ColourCount(0, 0, now.width, now.height) > 1) return true;
        last = std::move(now);
        XInput::Pause(100);
    }
    return false;
}

std::optional<WindowInfo> WaitForMainWindow(Desktop& desktop) {
    auto window = desktop.Session().WaitForWindow(&ProgramRunner::IsMainWindow, 10s);
    if (window && !WaitUntilDrawn(desktop.Session(), *window)) return std::nullopt;
    return window;
}

void ClickTool(Desktop& desktop, const WindowInfo& window, ToolButton button) {
    desktop.Input().MoveTo(window.x + button.left + button.width / 2, window.y + 26);
    XInput::Pause(50);
    desktop.Input().Click(1);
}

Image StopButtonLook(Desktop& desktop, const WindowInfo& window) {
    return desktop.Session().Capture(window.x + kStopButton.left, window.y, kStopButton.width, 53);
}

bool WaitForRecording(Desktop& desktop, const WindowInfo& window, const Image& idleStop,
                      bool recording) {
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (std::chrono::steady_clock::now() < deadline) {
        if ((StopButtonLook(desktop, window).rgb != idleStop.rgb) == recording) return true;
        XInput::Pause(5);
    }
    return false;
}

std::optional<WindowInfo> WaitForDialog(Desktop& desktop, Window mainWindow,
                                        std::chrono::milliseconds timeout) {
    const Window client = desktop.Client().WindowId();
    auto dialog = desktop.Session().WaitForWindow(
        [mainWindow, client](const WindowInfo& w) {
            return w.viewable && w.id != mainWindow && w.id != client;
        },
        timeout);
    if (dialog && !WaitUntilDrawn(desktop.Session(), *dialog)) return std::nullopt;
    return dialog;
}

void TypeIntoFileChooser(Desktop& desktop, const WindowInfo& chooser, const std::string& path) {
    desktop.Input().MoveTo(chooser.x + chooser.width / 2, chooser.y + chooser.height / 2);
    desktop.Session().Focus(chooser.id);
    desktop.Input().Tap(XK_a, {XK_Control_L});  // select what the name field holds
    desktop.Input().Type(path + "\n");
}
