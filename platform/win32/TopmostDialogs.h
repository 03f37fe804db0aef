#pragma once
// While one exists, a dialog that this thread opens over a window of its own that stays on
// top is made to stay on top too. The main window stays on top of every other; a system
// dialog it owns (a file dialog) would otherwise open beneath it on systems that do not lift
// owned windows above a topmost owner.
#include "platform/win32/WindowsApi.h"

class TopmostDialogs {
  public:
    TopmostDialogs();
    ~TopmostDialogs();
    TopmostDialogs(const TopmostDialogs&) = delete;
    TopmostDialogs& operator=(const TopmostDialogs&) = delete;

  private:
    static LRESULT CALLBACK Procedure(int code, WPARAM wParam, LPARAM lParam);
    HHOOK hook_;
};
