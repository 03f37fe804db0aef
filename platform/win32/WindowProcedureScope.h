#pragma once
// A window object may be destroyed from inside one of its own window procedures (a click
// whose handler ends up destroying a form). Every window procedure of the backend runs inside
// a WindowProcedureScope; a deletion asked for meanwhile waits until the outermost one ends.
#include <functional>

class WindowProcedureScope {
  public:
    WindowProcedureScope();
    ~WindowProcedureScope();
    WindowProcedureScope(const WindowProcedureScope&) = delete;
    WindowProcedureScope& operator=(const WindowProcedureScope&) = delete;

    // Runs deleter now when no window procedure of ours is running, else when the last ends.
    static void DeleteLater(std::function<void()> deleter);
};
