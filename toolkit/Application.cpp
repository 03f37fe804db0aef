#include "toolkit/Application.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <utility>

#include "toolkit/Backend.h"
#include "toolkit/Dialogs.h"
#include "toolkit/Exception.h"

TApplication* Application = nullptr;

namespace {

// Every byte of a multi-byte character (UTF-8, or a Shift-JIS lead or trail byte) is above
// '.', so comparing the last byte compares the last character.
std::string WithFinalStop(std::string text) {
    if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') text += '.';
    return text;
}

}  // namespace

TApplication::TApplication() {
    if (Application != nullptr) throw std::logic_error("a second application object");
    Application = this;
}

TApplication::~TApplication() {
    while (!owned_.empty()) delete owned_.back();  // ~TForm takes it off the list
    Application = nullptr;
}

void TApplication::Adopt(TForm* form, bool mayBecomeMain) {
    owned_.push_back(form);
    if (form->OnCreate) Dispatch([form] { form->OnCreate(form); });
    if (mayBecomeMain && mainForm_ == nullptr) mainForm_ = form;
}

void TApplication::FormDestroyed(TForm* form) {
    std::erase(owned_, form);
    if (mainForm_ == form) mainForm_ = nullptr;
}

void TApplication::Post(const TMsg& message) {
    queue_.push_back(message);
}

void TApplication::ProcessMessages() {
    CurrentBackend().PumpEvents();
    ProcessQueue();
}

void TApplication::ProcessQueue() {
    while (!queue_.empty()) {
        TMsg message = queue_.front();
        queue_.pop_front();
        ProcessMessage(message);
    }
}

void TApplication::ProcessMessage(TMsg message) {
    bool handled = false;
    uint32_t number = message.message;
    uintptr_t errorId = message.wParam;
    if (OnMessage) OnMessage(message, handled);
    if (!handled) {
        DispatchMessage(message);
    } else if (number == msg::kShowQueuedError) {
        queuedErrors_.erase(errorId);
    }
}

void TApplication::DispatchMessage(const TMsg& message) {
    if (message.message == msg::kReleaseForm) {
        ReleaseForm(message.hwnd);
    } else if (message.message == msg::kShowQueuedError) {
        auto found = queuedErrors_.find(message.wParam);
        if (found == queuedErrors_.end()) return;
        Exception error(found->second);
        queuedErrors_.erase(found);
        HandleException(error);
    }
}

void TApplication::ReleaseForm(uintptr_t handle) {
    auto found = std::find_if(owned_.begin(), owned_.end(),
                              [handle](TForm* form) { return form->Handle() == handle; });
    if (found != owned_.end()) delete *found;
}

bool TApplication::HandleMessage() {
    // The wait has handled the platform's events; only the queue is left.
    bool active = !queue_.empty() || CurrentBackend().WaitForEvents();
    Dispatch([this] { ProcessQueue(); });
    return active || !queue_.empty();
}

void TApplication::Run() {
    if (ShowMainForm && mainForm_ != nullptr) Dispatch([this] { mainForm_->Show(); });
    while (!terminated_ && HandleMessage()) {
    }
}

bool TApplication::Dispatch(const std::function<void()>& handler) {
    try {
        handler();
        return true;
    } catch (const std::exception& error) {
        HandleException(error);
    } catch (...) {
        HandleException(Exception("?"));
    }
    return false;
}

void TApplication::HandleException(const std::exception& error) {
    if (sessionEnding_) {
        std::fprintf(stderr, "%s\n", WithFinalStop(error.what()).c_str());
        return;
    }
    ShowMessageBox(WithFinalStop(error.what()), Title, kMbOk | kMbIconError);
}

void TApplication::EndSession() {
    sessionEnding_ = true;
    if (mainForm_ != nullptr) Dispatch([this] { mainForm_->CloseQuery(); });
}

void TApplication::QueueError(const std::string& message) {
    uintptr_t id = nextErrorId_++;
    queuedErrors_.emplace(id, message);
    Post(TMsg{.message = msg::kShowQueuedError, .wParam = id});
}

void TApplication::ShowQueuedErrors() {
    std::map<uintptr_t, std::string> errors = std::exchange(queuedErrors_, {});
    for (const auto& [id, message] : errors) HandleException(Exception(message));
}

bool TApplication::HelpCommand(uint32_t command, uintptr_t data) {
    return CurrentBackend().ShowHelp(HelpFile, command, data);
}
