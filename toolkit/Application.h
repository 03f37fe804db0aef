#pragma once
// The application object: the forms it owns and the main form, the message queue with its
// filter, the message loop, and the top-level error report. One exists at a time, reachable
// as Application from its construction to its destruction.
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "toolkit/Form.h"

struct TPoint {
    int32_t x = 0;
    int32_t y = 0;
};

// A queued message, as the system's message record.
struct TMsg {
    uintptr_t hwnd = 0;
    uint32_t message = 0;
    uintptr_t wParam = 0;
    intptr_t lParam = 0;
    uint32_t time = 0;
    TPoint pt{};
};

namespace msg {
// Posted by TForm::Release; destroys the form whose handle is in hwnd.
inline constexpr uint32_t kReleaseForm = 0xB021;
// Posted by TApplication::QueueError; shows the error queued under wParam.
inline constexpr uint32_t kShowQueuedError = 0xB401;
}  // namespace msg

// The help command that opens the help file's contents page.
inline constexpr uint32_t kHelpContents = 3;

using TMessageEvent = std::function<void(TMsg& Msg, bool& Handled)>;

class TApplication {
  public:
    // Becomes Application.
    TApplication();
    // Destroys the forms it owns, newest first; Application is null afterwards.
    ~TApplication();
    TApplication(const TApplication&) = delete;
    TApplication& operator=(const TApplication&) = delete;

    // The caption of error message boxes.
    std::string Title;
    std::string HelpFile;
    // Whether Run shows the main form first.
    bool ShowMainForm = true;
    // Sees every queued message before it is dispatched; Handled stops the dispatch.
    TMessageEvent OnMessage;

    TForm* MainForm() const { return mainForm_; }

    // Builds a T owned by the application, stores it in reference, runs its OnCreate
    // (an error is shown, not thrown) and makes it the main form when there is none yet.
    template <class T, class... Args>
    T* CreateForm(T*& reference, Args&&... args);
    // The same for a form that never becomes the main form (a dialog made per use).
    template <class T, class... Args>
    T* CreateOwnedForm(Args&&... args);

    void Post(const TMsg& message);
    // Lets the backend handle its pending events, then takes every queued message: the
    // filter first, then the dispatch unless handled. Errors of handlers propagate.
    void ProcessMessages();
    // One round of the message loop: waits for events unless messages are queued, then
    // processes the messages (errors shown). False when nothing happened or can happen.
    bool HandleMessage();
    // Shows the main form (unless ShowMainForm is false) and handles messages until
    // Terminate is called or nothing can happen any more.
    void Run();
    void Terminate() { terminated_ = true; }
    bool Terminated() const { return terminated_; }
    // The system ends the program (logout, shutdown) and nobody can answer a message box
    // now: errors go to standard error from here on. The main form's OnCloseQuery runs as a
    // best effort, so that what a close stores is stored; its verdict is not asked for.
    void EndSession();
    bool HasQueuedMessages() const { return !queue_.empty(); }

    // Runs an event handler; an error leaving it goes to HandleException. Returns whether
    // the handler finished without one. Backends call every handler through it.
    bool Dispatch(const std::function<void()>& handler);
    // The error message box: the error's text, a "." appended when its last character
    // sorts after ".", captioned with Title, with an error icon and an OK button.
    void HandleException(const std::exception& error);
    // Keeps an error raised where it cannot be shown (inside a hook callback) and posts a
    // message that shows it from the message loop.
    void QueueError(const std::string& message);
    // Shows, in the order queued, the errors that the message loop has not shown yet: those
    // queued after it ended. Their messages are then left without effect.
    void ShowQueuedErrors();

    // Asks the backend to show HelpFile with command and data; the result is the backend's.
    bool HelpCommand(uint32_t command, uintptr_t data);

    // Called by ~TForm.
    void FormDestroyed(TForm* form);

  private:
    void Adopt(TForm* form, bool mayBecomeMain);
    void ProcessQueue();
    void ProcessMessage(TMsg message);
    void DispatchMessage(const TMsg& message);
    void ReleaseForm(uintptr_t handle);

    TForm* mainForm_ = nullptr;
    std::vector<TForm*> owned_;
    std::deque<TMsg> queue_;
    std::map<uintptr_t, std::string> queuedErrors_;
    uintptr_t nextErrorId_ = 1;
    bool terminated_ = false;
    bool sessionEnding_ = false;
};

extern TApplication* Application;

template <class T, class... Args>
T* TApplication::CreateForm(T*& reference, Args&&... args) {
    T* form = new T(std::forward<Args>(args)...);
    reference = form;
    Adopt(form, true);
    return form;
}

template <class T, class... Args>
T* TApplication::CreateOwnedForm(Args&&... args) {
    T* form = new T(std::forward<Args>(args)...);
    Adopt(form, false);
    return form;
}
