#pragma once
// Errors raised while the platform is calling a hook procedure must not unwind through the
// platform's callback. The hook procedures catch them and hand their text to this sink,
// which the application installs to show them from its message loop.
#include <functional>
#include <string>

using HookErrorSink = std::function<void(const std::string& message)>;

// Installs the sink (an empty function restores the default, which writes to stderr).
void SetHookErrorSink(HookErrorSink sink);
void ReportHookError(const std::string& message);

// Runs action and reports whatever it throws; never throws itself.
template <class Action>
void RunGuarded(Action&& action) noexcept;

// Reports the exception currently being handled.
void ReportCurrentException() noexcept;

template <class Action>
void RunGuarded(Action&& action) noexcept {
    try {
        action();
    } catch (...) {
        ReportCurrentException();
    }
}
