// Realises engine/Journal.h on the running X server. One object owns the control connection
// and every piece of journal state; hooks are kept in install order, newest last.
#include "platform/x11/X11Journal.h"

#include <FL/Fl.H>
#include <X11/XKBlib.h>
#include <X11/Xlib.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "engine/Journal.h"
#include "platform/x11/CancelKeyGrab.h"
#include "platform/x11/EventTranslator.h"
#include "platform/x11/InputInjector.h"
#include "platform/x11/MonotonicClock.h"
#include "platform/x11/PlaybackPump.h"
#include "platform/x11/RecordSource.h"
#include "platform/x11/X11Keyboard.h"

namespace {

class X11Journal {
  public:
    static X11Journal& Instance() {
        static X11Journal journal;
        return journal;
    }

    JournalHookHandle Install(JournalHookType type, JournalHookProc procedure);
    void Remove(JournalHookHandle handle);
    void Cancel();
    void SetCancelHandler(std::function<void()> handler) { cancelHandler_ = std::move(handler); }

  private:
    struct Hook {
        JournalHookHandle handle;
        JournalHookType type;
        JournalHookProc procedure;
    };

    bool Connect();
    bool StartRecording();
    void DeliverRecorded(const XDeviceEvent& event);
    void Detach(const Hook& hook);

    Display* display_ = nullptr;
    std::unique_ptr<InputInjector> injector_;
    std::unique_ptr<PlaybackPump> pump_;
    std::unique_ptr<RecordSource> source_;
    std::unique_ptr<EventTranslator> translator_;
    std::unique_ptr<CancelKeyGrab> grab_;
    std::vector<Hook> hooks_;
    JournalHookHandle nextHandle_ = 1;
    std::function<void()> cancelHandler_;
};

bool X11Journal::Connect() {
    if (display_ != nullptr) return true;
    display_ = XOpenDisplay(nullptr);
    if (display_ == nullptr) return false;
    injector_ = std::make_unique<InputInjector>(display_);
    pump_ = std::make_unique<PlaybackPump>(*injector_);
    source_ = std::make_unique<RecordSource>(display_);
    translator_ = std::make_unique<EventTranslator>();
    grab_ = std::make_unique<CancelKeyGrab>(display_, [this] { Cancel(); });
    return true;
}

bool X11Journal::StartRecording() {
    translator_->Reset(ReadKeyboardState(display_));
    return source_->Start([this](const XDeviceEvent& event) { DeliverRecorded(event); });
}

void X11Journal::DeliverRecorded(const XDeviceEvent& event) {
    auto hook = std::find_if(hooks_.rbegin(), hooks_.rend(),
                             [](const Hook& h) { return h.type == JournalHookType::Record; });
    if (hook == hooks_.rend()) return;
    std::optional<EVENTMSG> record = translator_->Translate(event);
    if (!record) return;
    hook->procedure(kHookAction, 0, reinterpret_cast<intptr_t>(&*record));
}

JournalHookHandle X11Journal::Install(JournalHookType type, JournalHookProc procedure) {
    if (!Connect()) return 0;
    if (type == JournalHookType::Record) {
        if (!source_->Running() && !StartRecording()) return 0;
    } else {
        if (!InputInjector::Available(display_)) return 0;
        injector_->ReadLayout();
        pump_->Start(procedure);
    }
    hooks_.push_back(Hook{nextHandle_, type, procedure});
    grab_->Enable();
    return nextHandle_++;
}

void X11Journal::Detach(const Hook& hook) {
    if (hook.type == JournalHookType::Record) {
        source_->Stop();
    } else {
        pump_->Stop();
        injector_->ReleaseAll();
    }
}

void X11Journal::Remove(JournalHookHandle handle) {
    auto it = std::find_if(hooks_.begin(), hooks_.end(),
                           [handle](const Hook& hook) { return hook.handle == handle; });
    if (it == hooks_.end()) return;  // already removed by a journal cancel
    Hook hook = *it;
    hooks_.erase(it);
    Detach(hook);
    if (hooks_.empty()) grab_->Disable();
}

void X11Journal::Cancel() {
    if (hooks_.empty()) return;
    std::vector<Hook> removed;
    removed.swap(hooks_);
    for (const Hook& hook : removed) Detach(hook);
    grab_->Disable();
    if (cancelHandler_) cancelHandler_();
}

}  // namespace

void SetJournalCancelHandler(std::function<void()> handler) {
    X11Journal::Instance().SetCancelHandler(std::move(handler));
}

JournalHookHandle InstallJournalHook(JournalHookType type, JournalHookProc procedure) {
    return X11Journal::Instance().Install(type, procedure);
}

void RemoveJournalHook(JournalHookHandle handle) {
    X11Journal::Instance().Remove(handle);
}

int32_t CallNextJournalHook(JournalHookHandle, int32_t, uintptr_t, intptr_t) {
    return 0;  // this journal has no chain of other hooks
}

uint32_t JournalTickCount() {
    return MonotonicTick();
}
