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
#include "platform/common/PlaybackPump.h"
#include "platform/fltk/FltkPumpLoop.h"
#include "platform/posix/MonotonicClock.h"
#include "platform/x11/CancelKeyGrab.h"
#include "platform/x11/EventTranslator.h"
#include "platform/x11/InputInjector.h"
#include "platform/x11/PlaybackRepeat.h"
#include "platform/x11/RecordSource.h"
#include "platform/x11/ServerClock.h"
#include "platform/x11/X11Keyboard.h"

namespace {

class X11Journal final : public LinuxJournal {
  public:
    JournalHookHandle Install(JournalHookType type, JournalHookProc procedure) override;
    void Remove(JournalHookHandle handle) override;
    std::string RecordingLimit() const override { return XWaylandRecordingLimit(); }
    std::string WayText() const override { return "入力: X11 (RECORD と XTEST)"; }
    void SetCancelHandler(std::function<void()> handler) override {
        cancelHandler_ = std::move(handler);
    }
    void ReleaseInput(void* lostDisplay) override;

  private:
    void Cancel();
    struct Hook {
        JournalHookHandle handle;
        JournalHookType type;
        JournalHookProc procedure;
    };

    bool Connect();
    bool StartSource();
    void StopSourceWhenIdle();
    static void OnIdle(void* self);
    void FinishRecording(const Hook& hook);
    void OnDeviceEvent(const XDeviceEvent& event);
    void DeliverRecorded(const XDeviceEvent& event);
    void Detach(const Hook& hook);

    Display* display_ = nullptr;
    std::unique_ptr<InputInjector> injector_;
    FltkPumpLoop loop_;
    std::unique_ptr<PlaybackPump> pump_;
    std::unique_ptr<RecordSource> source_;
    std::unique_ptr<EventTranslator> translator_;
    std::unique_ptr<CancelKeyGrab> grab_;
    std::unique_ptr<PlaybackRepeat> repeat_;
    std::vector<Hook> hooks_;
    JournalHookHandle nextHandle_ = 1;
    bool finishing_ = false;  // the record hook is being handed its last events
    ServerClock serverClock_;
    std::function<void()> cancelHandler_;
};

bool X11Journal::Connect() {
    if (display_ != nullptr) return true;
    display_ = XOpenDisplay(nullptr);
    if (display_ == nullptr) return false;
    injector_ = std::make_unique<InputInjector>(display_);
    pump_ = std::make_unique<PlaybackPump>(loop_, *injector_);
    source_ = std::make_unique<RecordSource>(display_);
    translator_ = std::make_unique<EventTranslator>();
    grab_ = std::make_unique<CancelKeyGrab>(display_, [this] { Cancel(); });
    repeat_ = std::make_unique<PlaybackRepeat>(display_);
    serverClock_.Connect(display_);
    return true;
}

// The device events run while any hook is installed: a recording's records, and the
// Ctrl+Esc that ends a recording or a playback. False when the server has no RECORD.
bool X11Journal::StartSource() {
    Fl::remove_timeout(&X11Journal::OnIdle, this);
    if (source_->Running()) return true;
    if (!source_->Start([this](const XDeviceEvent& event) { OnDeviceEvent(event); })) {
        return false;
    }
    grab_->StartWatching(ReadKeyboardState(display_).keysDown);
    return true;
}

// Between two passes of a run the hook is removed and installed again at once; the source
// then goes on.
void X11Journal::StopSourceWhenIdle() {
    if (hooks_.empty() && source_->Running()) Fl::add_timeout(0.0, &X11Journal::OnIdle, this);
}

void X11Journal::OnIdle(void* self) {
    auto* journal = static_cast<X11Journal*>(self);
    if (journal->hooks_.empty()) journal->source_->Stop();
}

void X11Journal::OnDeviceEvent(const XDeviceEvent& event) {
    if (grab_->Watch(event)) return;  // the cancel has removed the hooks
    DeliverRecorded(event);
}

void X11Journal::DeliverRecorded(const XDeviceEvent& event) {
    auto hook = std::find_if(hooks_.rbegin(), hooks_.rend(),
                             [](const Hook& h) { return h.type == JournalHookType::Record; });
    if (hook == hooks_.rend()) return;
    std::optional<EVENTMSG> record = translator_->Translate(event);
    if (!record) return;
    record->time = serverClock_.ToLocal(record->time);
    hook->procedure(kHookAction, 0, reinterpret_cast<intptr_t>(&*record));
}

JournalHookHandle X11Journal::Install(JournalHookType type, JournalHookProc procedure) {
    if (!Connect()) return 0;
    if (type == JournalHookType::Record) {
        // A fresh context: one that watched a playback may still carry input from before
        // the recording, such as the click that started it.
        source_->Stop();
        if (!StartSource()) return 0;
        // Read once the server records, so that no key changes between the two unseen.
        translator_->Reset(ReadKeyboardState(display_));
        // Events carry the server's time stamps; the engine measures from the local tick. A
        // remote or nested server's clock differs, so its stamps are moved onto the local one.
        serverClock_.Measure();
    } else {
        if (!InputInjector::Available(display_)) return 0;
        StartSource();  // without RECORD, the grab alone watches for Ctrl+Esc
        injector_->ReadLayout();
        repeat_->Suspend();
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
        repeat_->Restore();  // once nothing is held, or a held key would repeat
    }
}

// A record hook gets what the server recorded up to its removal first: the release of the
// click on the button that stops a recording reaches the window before the journal.
void X11Journal::FinishRecording(const Hook& hook) {
    if (hook.type != JournalHookType::Record) return;
    finishing_ = true;
    source_->Finish();
    finishing_ = false;
}

void X11Journal::Remove(JournalHookHandle handle) {
    auto found = [handle](const Hook& hook) { return hook.handle == handle; };
    auto it = std::find_if(hooks_.begin(), hooks_.end(), found);
    if (it == hooks_.end()) return;  // already removed by a journal cancel
    if (finishing_ && it->type == JournalHookType::Record) {
        // The hook ended the recording on one of its last events (Ctrl+Break): it gets no
        // more; the removal that is handing them over takes it off the list.
        source_->Stop();
        return;
    }
    FinishRecording(*it);
    it = std::find_if(hooks_.begin(), hooks_.end(), found);
    if (it == hooks_.end()) return;
    Hook hook = *it;
    hooks_.erase(it);
    Detach(hook);
    if (hooks_.empty()) {
        grab_->Disable();
        StopSourceWhenIdle();
    } else {
        StartSource();  // a finished recording has ended the device events
    }
}

void X11Journal::Cancel() {
    if (hooks_.empty()) return;
    std::vector<Hook> removed;
    removed.swap(hooks_);
    for (const Hook& hook : removed) Detach(hook);
    grab_->Disable();
    StopSourceWhenIdle();
    if (cancelHandler_) cancelHandler_();
}

void X11Journal::ReleaseInput(void* lostDisplay) {
    if (display_ == nullptr || display_ == lostDisplay) return;
    pump_->Stop();
    injector_->ReleaseAll();
    repeat_->Restore();
    XSync(display_, False);
}

}  // namespace

std::unique_ptr<LinuxJournal> MakeX11Journal() {
    return std::make_unique<X11Journal>();
}
