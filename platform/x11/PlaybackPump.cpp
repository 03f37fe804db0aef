#include "platform/x11/PlaybackPump.h"

#include <FL/Fl.H>

#include <utility>

#include "platform/x11/InputInjector.h"
#include "platform/x11/MonotonicClock.h"

namespace {
// Records due at once are played in runs of this many before the UI loop gets a turn.
constexpr int kRecordsPerTurn = 64;
}  // namespace

void PlaybackPump::Start(JournalHookProc procedure) {
    Stop();
    procedure_ = procedure;
    ++generation_;
    Fl::add_timeout(0.0, &PlaybackPump::OnTimer, this);
}

void PlaybackPump::Stop() {
    if (held_ == this) held_ = nullptr;
    if (procedure_ == nullptr) return;
    Fl::remove_timeout(&PlaybackPump::OnTimer, this);
    procedure_ = nullptr;
    ++generation_;
}

PlaybackPump::Hold::~Hold() {
    if (--holds_ > 0 || held_ == nullptr) return;
    // The loop is free again: the step that waited runs at its next turn.
    Fl::add_timeout(0.0, &PlaybackPump::OnTimer, std::exchange(held_, nullptr));
}

void PlaybackPump::OnTimer(void* self) {
    auto* pump = static_cast<PlaybackPump*>(self);
    if (holds_ > 0) {
        held_ = pump;
        return;
    }
    if (pump->stepping_) {
        pump->Defer();
        return;
    }
    pump->stepping_ = true;
    pump->Step();
    pump->stepping_ = false;
}

// A step asked for from inside a step runs a millisecond later from the UI loop itself; a
// timeout that is already due would run in the same turn.
void PlaybackPump::Defer() { Fl::add_timeout(0.001, &PlaybackPump::OnTimer, this); }

void PlaybackPump::WaitFor(int32_t delayMilliseconds) {
    // The record is due when the tick count reaches now + delay: aim at the start of that
    // millisecond, not delay milliseconds from now.
    uint64_t now = MonotonicNanoseconds();
    uint64_t due = (now / 1'000'000u + static_cast<uint64_t>(delayMilliseconds)) * 1'000'000u;
    Fl::add_timeout(static_cast<double>(due - now) / 1e9, &PlaybackPump::OnTimer, this);
}

void PlaybackPump::Step() {
    for (int played = 0; played < kRecordsPerTurn; ++played) {
        if (procedure_ == nullptr) return;
        const uint64_t generation = generation_;
        EVENTMSG record{};
        int32_t delay = procedure_(kHookGetNext, 0, reinterpret_cast<intptr_t>(&record));
        if (delay > 0) {
            WaitFor(delay);
            return;
        }
        injector_.Apply(record);
        procedure_(kHookSkip, 0, 0);
        // The skip may have ended the playback, or ended it and started the next pass,
        // which scheduled its own first step.
        if (generation_ != generation) return;
    }
    Fl::add_timeout(0.0, &PlaybackPump::OnTimer, this);
}
