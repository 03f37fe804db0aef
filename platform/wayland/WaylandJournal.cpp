// Realises the Linux journal on a Wayland session. One object owns the devices, the way in
// and every piece of journal state; hooks are kept in install order, newest last.
#include "platform/wayland/WaylandJournal.h"

#include <FL/Fl.H>
#include <X11/Xlib.h>

#include <algorithm>
#include <optional>
#include <vector>

#include "platform/common/PlaybackPump.h"
#include "platform/fltk/FltkPumpLoop.h"
#include "platform/posix/MonotonicClock.h"
#include "platform/wayland/EvdevSource.h"
#include "platform/wayland/EvdevTranslator.h"
#include "platform/wayland/InputWays.h"
#include "platform/wayland/LoopDescriptorWatch.h"
#include "platform/wayland/PointerSources.h"
#include "platform/wayland/PositionHistory.h"
#include "platform/wayland/RelativeSource.h"
#include "platform/wayland/WayInjector.h"
#include "platform/x11/X11Keyboard.h"
#include "toolkit/Exception.h"

namespace {

class WaylandJournal final : public LinuxJournal {
  public:
    WaylandJournal() : source_(watch_) {}
    ~WaylandJournal() override;
    WaylandJournal(const WaylandJournal&) = delete;
    WaylandJournal& operator=(const WaylandJournal&) = delete;

    JournalHookHandle Install(JournalHookType type, JournalHookProc procedure) override;
    void Remove(JournalHookHandle handle) override;
    std::string RecordingLimit() const override { return std::string(); }
    std::string WayText() const override;
    void SetCancelHandler(std::function<void()> handler) override {
        cancelHandler_ = std::move(handler);
    }
    void ReleaseInput(void* lostDisplay) override;

  private:
    struct Hook {
        JournalHookHandle handle;
        JournalHookType type;
        JournalHookProc procedure;
    };

    Display* XDisplay();
    InputWay& Way();
    void StartPlayback(JournalHookProc procedure);
    void WatchDevices(bool required);
    void StopDevicesWhenIdle();
    static void OnIdle(void* self);
    void OnDeviceEvent(const DeviceEvent& event);
    std::optional<PointerPosition> QueryPointer();
    LayoutBounds XLayout();
    void StartPointer();
    void Detach(const Hook& hook);
    void Cancel();

    LoopDescriptorWatch watch_;
    EvdevSource source_;
    EvdevTranslator translator_;
    CancelKeyWatch cancelKeys_;
    std::unique_ptr<PointerSource> pointer_;  // while recording, where the pointer is
    std::string pointerRefusals_;
    PositionHistory positions_;
    std::unique_ptr<InputWay> way_;
    std::unique_ptr<WayInjector> injector_;
    FltkPumpLoop loop_;
    std::unique_ptr<PlaybackPump> pump_;
    Display* display_ = nullptr;  // XWayland: the keyboard's layout and the pointer's place
    std::vector<Hook> hooks_;
    JournalHookHandle nextHandle_ = 1;
    std::function<void()> cancelHandler_;
};

WaylandJournal::~WaylandJournal() {
    Fl::remove_timeout(&WaylandJournal::OnIdle, this);
    pump_.reset();
    if (injector_) injector_->ReleaseAll();
    source_.Stop();
    pointer_.reset();
    if (display_ != nullptr) XCloseDisplay(display_);
}

Display* WaylandJournal::XDisplay() {
    if (display_ == nullptr) display_ = XOpenDisplay(nullptr);
    if (display_ == nullptr) throw Exception("X ディスプレイ (XWayland) に接続できません。");
    return display_;
}

// Opened at the first playback and kept: a remote-desktop session ends with its connection.
InputWay& WaylandJournal::Way() {
    if (!way_) {
        std::string refusals;
        way_ = OpenInputWay(refusals);
        if (!way_) throw Exception(refusals);
        injector_ = std::make_unique<WayInjector>(*way_);
        pump_ = std::make_unique<PlaybackPump>(loop_, *injector_);
    }
    return *way_;
}

std::string WaylandJournal::WayText() const {
    std::string text = "入力: Wayland (記録: /dev/input の入力デバイス、ポインターの位置: ";
    if (!pointer_) {
        text += "最初の記録で選択";
    } else {
        text += pointer_->Name() + (pointer_->Exact() ? " (正確)" : " (推定)");
        if (!pointerRefusals_.empty()) text += " [" + pointerRefusals_ + "]";
    }
    return text + "、再生: " + (way_ ? way_->Name() : std::string("最初の再生で選択")) + ")";
}

// The devices are read while any hook is installed: a recording's records, and the Ctrl+Esc
// that ends a recording or a playback. A recording needs them; a playback goes on without.
void WaylandJournal::WatchDevices(bool required) {
    Fl::remove_timeout(&WaylandJournal::OnIdle, this);
    if (source_.Running()) return;
    std::string error;
    const bool started =
        source_.Start([this](const DeviceEvent& event) { OnDeviceEvent(event); }, error);
    if (!started && required) throw Exception(error);
}

// Between two passes of a run the hook is removed and installed again at once; the devices
// then stay open.
void WaylandJournal::StopDevicesWhenIdle() {
    if (hooks_.empty() && source_.Running()) Fl::add_timeout(0.0, &WaylandJournal::OnIdle, this);
}

void WaylandJournal::OnIdle(void* self) {
    auto* journal = static_cast<WaylandJournal*>(self);
    if (journal->hooks_.empty()) journal->source_.Stop();
}

// Where XWayland last saw the pointer: exact while it is over an X window, as at the Record
// click on the program's own window.
std::optional<PointerPosition> WaylandJournal::QueryPointer() {
    Window root = 0;
    Window child = 0;
    PointerPosition at;
    int x = 0;
    int y = 0;
    unsigned mask = 0;
    if (display_ != nullptr && XQueryPointer(display_, DefaultRootWindow(display_), &root, &child,
                                             &at.x, &at.y, &x, &y, &mask)) {
        return at;
    }
    return std::nullopt;
}

// XWayland's root window spans the layout's bounding box.
LayoutBounds WaylandJournal::XLayout() {
    Display* display = XDisplay();
    const int screen = DefaultScreen(display);
    return LayoutBounds{0, 0, DisplayWidth(display, screen), DisplayHeight(display, screen)};
}

// The history starts at the position XWayland gives now, the Record button having just been
// clicked; the desktop's source reports from there.
void WaylandJournal::StartPointer() {
    if (pointer_) pointer_->Stop();
    positions_.Reset();
    if (const auto at = QueryPointer()) positions_.Add(*at, MonotonicTick());
    auto estimate = std::make_unique<RelativeSource>([this] { return QueryPointer(); },
                                                     [this] { return XLayout(); });
    pointer_ =
        StartPointerSource([this](PointerPosition at, uint32_t time) { positions_.Add(at, time); },
                           std::move(estimate), pointerRefusals_);
}

void WaylandJournal::OnDeviceEvent(const DeviceEvent& event) {
    if (cancelKeys_.Watch(event)) {
        Cancel();
        return;
    }
    auto hook = std::find_if(hooks_.rbegin(), hooks_.rend(),
                             [](const Hook& h) { return h.type == JournalHookType::Record; });
    if (hook == hooks_.rend()) return;
    const JournalHookHandle handle = hook->handle;
    const JournalHookProc procedure = hook->procedure;
    if (pointer_) pointer_->Before(event);
    const auto position = [this](uint32_t time) { return positions_.At(time); };
    for (EVENTMSG record : translator_.Translate(event, position)) {
        procedure(kHookAction, 0, reinterpret_cast<intptr_t>(&record));
        // Ctrl+Break ends the recording from inside the hook: it gets no more.
        auto same = [handle](const Hook& h) { return h.handle == handle; };
        if (std::none_of(hooks_.begin(), hooks_.end(), same)) return;
    }
}

void WaylandJournal::StartPlayback(JournalHookProc procedure) {
    Way();
    WatchDevices(false);  // without the devices, Ctrl+Esc is not seen
    injector_->Start(ReadKeyboardLayout(XDisplay()));
    pump_->Start(procedure);
}

JournalHookHandle WaylandJournal::Install(JournalHookType type, JournalHookProc procedure) {
    if (type == JournalHookType::Record) {
        const KeyboardState keyboard = ReadKeyboardState(XDisplay());
        source_.Stop();  // a fresh start: nothing from before the recording
        WatchDevices(true);
        StartPointer();
        translator_.Reset(keyboard);
    } else {
        StartPlayback(procedure);
    }
    if (hooks_.empty()) cancelKeys_.Reset();
    hooks_.push_back(Hook{nextHandle_, type, procedure});
    return nextHandle_++;
}

void WaylandJournal::Detach(const Hook& hook) {
    if (hook.type == JournalHookType::Record && pointer_) pointer_->Stop();
    if (hook.type == JournalHookType::Playback && pump_) {
        pump_->Stop();
        injector_->ReleaseAll();
    }
}

void WaylandJournal::Remove(JournalHookHandle handle) {
    auto found = [handle](const Hook& hook) { return hook.handle == handle; };
    auto it = std::find_if(hooks_.begin(), hooks_.end(), found);
    if (it == hooks_.end()) return;  // already removed by a journal cancel
    if (it->type == JournalHookType::Record) {
        // The release of the click that stops a recording reaches the window first.
        source_.ReadPending();
        it = std::find_if(hooks_.begin(), hooks_.end(), found);
        if (it == hooks_.end()) return;
    }
    const Hook hook = *it;
    hooks_.erase(it);
    Detach(hook);
    StopDevicesWhenIdle();
}

void WaylandJournal::Cancel() {
    if (hooks_.empty()) return;
    std::vector<Hook> removed;
    removed.swap(hooks_);
    for (const Hook& hook : removed) Detach(hook);
    StopDevicesWhenIdle();
    if (cancelHandler_) cancelHandler_();
}

void WaylandJournal::ReleaseInput(void*) {
    if (pump_) pump_->Stop();
    if (injector_) injector_->ReleaseAll();
}

}  // namespace

std::unique_ptr<LinuxJournal> MakeWaylandJournal() {
    return std::make_unique<WaylandJournal>();
}
