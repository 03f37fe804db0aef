#pragma once
// The program's main window as the end-to-end tests and the benchmarks drive it: its tool
// buttons, the look of R-Stop that tells whether it records, and the file chooser that Save
// opens. Every wait is for a condition on the screen, with a time limit.
#include <chrono>
#include <optional>
#include <string>

#include "Desktop.h"

// A tool button: left edge and width; all are 53 high at the top of the window.
struct ToolButton {
    int left;
    int width;
};
inline constexpr ToolButton kLoopButton{76, 38};
inline constexpr ToolButton kRecordButton{151, 38};
inline constexpr ToolButton kStopButton{189, 37};
inline constexpr ToolButton kSaveButton{226, 38};

// Waits until the window shows more than one colour and then stays the same for a moment: it
// has drawn itself and settled. False on timeout.
bool WaitUntilDrawn(XSession& session, const WindowInfo& window,
                    std::chrono::milliseconds timeout = std::chrono::seconds(10));

// The program's main window once it is shown and drawn.
std::optional<WindowInfo> WaitForMainWindow(Desktop& desktop);

void ClickTool(Desktop& desktop, const WindowInfo& window, ToolButton button);

// R-Stop as it looks now; it is drawn enabled only while the program records.
Image StopButtonLook(Desktop& desktop, const WindowInfo& window);

// Waits until R-Stop looks other than idleStop (recording) or as it (not recording).
bool WaitForRecording(Desktop& desktop, const WindowInfo& window, const Image& idleStop,
                      bool recording);

// Waits for a shown window that is neither the main window nor the client's (the file
// chooser or the loop dialog), and for it to be drawn.
std::optional<WindowInfo> WaitForDialog(Desktop& desktop, Window mainWindow,
                                        std::chrono::milliseconds timeout);

// Types a full path into the file chooser's name field and confirms it.
void TypeIntoFileChooser(Desktop& desktop, const WindowInfo& chooser, const std::string& path);
