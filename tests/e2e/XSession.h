#pragma once
// The harness's own connection to the X server: it looks at the top-level windows, the
// keyboard state and the screen's pixels, and asks windows to close. X errors (a window that
// vanished while being looked at) are counted, never fatal.
#include <X11/Xlib.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

struct WindowInfo {
    Window id = 0;
    std::string name;     // _NET_WM_NAME (UTF-8) or else WM_NAME
    std::string wmClass;  // WM_CLASS as "instance,Class"; empty when unset
    int x = 0;            // position of the window's inside on the root window
    int y = 0;
    int width = 0;
    int height = 0;
    bool viewable = false;
};

struct Image {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;  // width * height * 3 bytes, rows top to bottom

    uint32_t Pixel(int x, int y) const;
    // How many different colours the rectangle holds.
    std::size_t ColourCount(int x, int y, int width, int height) const;
    bool WritePpm(const std::string& path) const;
};

class XSession {
  public:
    explicit XSession(const std::string& displayName);
    ~XSession();
    XSession(const XSession&) = delete;
    XSession& operator=(const XSession&) = delete;

    bool Connected() const { return display_ != nullptr; }
    Display* Handle() const { return display_; }

    // The root window's children, bottom to top.
    std::vector<WindowInfo> TopLevelWindows();
    std::optional<WindowInfo> FindWindow(const std::function<bool(const WindowInfo&)>& match);
    std::optional<WindowInfo> WaitForWindow(const std::function<bool(const WindowInfo&)>& match,
                                            std::chrono::milliseconds timeout);

    // The key codes the server holds down at this moment.
    std::vector<int> KeysHeld();
    // The pointer's position on the root window.
    std::pair<int, int> Pointer();
    // The pointer's button and modifier mask (Button1Mask...).
    unsigned PointerMask();

    void SetAutoRepeat(bool on);
    // Sends WM_DELETE_WINDOW, as a window manager's close button would.
    void RequestClose(Window window);
    void Focus(Window window);
    Image Capture(int x, int y, int width, int height);

  private:
    std::string WindowName(Window window);
    std::string WindowClass(Window window);

    Display* display_ = nullptr;
};
