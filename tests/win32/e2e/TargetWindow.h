#pragma once
// A window of the test program that covers the screen and keeps every key and mouse message
// it receives, with the journal clock's millisecond of its arrival. It stays the foreground
// window, so the keys a hidden Tapewright plays arrive here.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "e2e/MacroFiles.h"
#include "platform/win32/WindowsApi.h"

struct TargetEvent {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    uint32_t tick;  // when the window received it
};

class TargetWindow {
  public:
    // Covering the screen, or the rows from top down.
    explicit TargetWindow(int top = 0);
    ~TargetWindow();
    TargetWindow(const TargetWindow&) = delete;
    TargetWindow& operator=(const TargetWindow&) = delete;

    const std::vector<TargetEvent>& Events() const { return events_; }
    // Handles the window's messages until done is true or process has ended and its
    // messages are in (when process is given), or until seconds pass; false on the timeout.
    bool RunUntil(const std::function<bool()>& done, int seconds = 60);
    std::string Describe() const;

  private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HWND window_ = nullptr;
    std::vector<TargetEvent> events_;
};

// Starts a program with a command line; its handle, or null.
HANDLE StartProgram(const std::string& commandLine);
// Whether process has ended; its exit code in code then.
bool Ended(HANDLE process, DWORD& code);

// Whether the window's event is what playing record makes: keys by message, virtual key,
// scan code and extended bit; the pointer by message and position (the target covers the
// screen from its corner).
bool Plays(const MacroRecord& record, const TargetEvent& event);
// The arrival tick of each record, matched with the first event after the previous match
// that plays it; the first record without one described in missing.
std::vector<uint32_t> Arrivals(const std::vector<MacroRecord>& records,
                               const std::vector<TargetEvent>& events, std::string& missing);
