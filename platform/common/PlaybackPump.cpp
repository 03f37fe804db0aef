#include "platform/common/PlaybackPump.h"

#include <utility>

#include "engine/HookErrors.h"

namespace {
// Records due at once are played in runs of this many before the UI loop gets a turn.
constexpr int kRecordsPerTurn = 64;
}  // namespace

void PlaybackPump::Start(JournalHookProc procedure) {
    Stop();
    procedure_ = procedure;
    delivered_ = false;
    ++generation_;
    loop_.CallSoon(&PlaybackPump::OnTimer, this);
}

void PlaybackPump::Stop() {
    if (held_ == this) held_ = nullptr;
    if (procedure_ == nullptr) return;
    loop_.Cancel(&PlaybackPump::OnTimer, this);
    procedure_ = nullptr;
    delivered_ = false;
    ++generation_;
}

PlaybackPump::Hold::~Hold() {
    if (--holds_ > 0 || held_ == nullptr) return;
    // The loop is free again: the pump moves on at its next turn.
    PlaybackPump* pump = std::exchange(held_, nullptr);
    pump->loop_.CallSoon(&PlaybackPump::OnTimer, pump);
}

void PlaybackPump::OnTimer(void* self) {
    auto* pump = static_cast<PlaybackPump*>(self);
    // Inside a hold, or inside another step (a pass started from the skip of the last one),
    // the due record still goes out at once, but moving on waits for the loop.
    bool held = holds_ > 0 || pump->stepping_;
    bool wasStepping = std::exchange(pump->stepping_, true);
    try {
        pump->Step(held);
    } catch (...) {
        // Nothing may unwind into the toolkit's timer dispatch. A record whose injection
        // failed counts as played: the error is reported and the pass goes on to its end.
        ReportCurrentException();
        if (pump->procedure_ != nullptr) {
            pump->delivered_ = true;
            pump->loop_.CallSoon(&PlaybackPump::OnTimer, pump);
        }
    }
    pump->stepping_ = wasStepping;
}

// Delivers the record that is due, then moves the hook on; a skip can end the pass and
// start the next one, so nothing of this pass is touched after it.
void PlaybackPump::Step(bool held) {
    for (int played = 0; played < kRecordsPerTurn; ++played) {
        if (procedure_ == nullptr) return;
        const uint64_t generation = generation_;
        if (!delivered_) {
            EVENTMSG record{};
            int32_t delay = procedure_(kHookGetNext, 0, reinterpret_cast<intptr_t>(&record));
            if (delay > 0) {
                loop_.CallAfter(delay, &PlaybackPump::OnTimer, this);
                return;
            }
            // The copy handed out has the key parameters rearranged for the system's
            // journal; the unchanged record keeps the scan code and the extended flag.
            EVENTMSG stored = record;
            procedure_(kHookNoRemove, 0, reinterpret_cast<intptr_t>(&stored));
            injector_.Apply(stored);
            if (generation_ != generation) return;  // the injection ended the playback
            delivered_ = true;
        }
        if (held) {
            if (holds_ > 0) {
                held_ = this;  // the hold's end schedules the next turn
            } else {
                loop_.CallAfter(1, &PlaybackPump::OnTimer, this);
            }
            return;
        }
        delivered_ = false;
        procedure_(kHookSkip, 0, 0);
        if (generation_ != generation) return;
    }
    loop_.CallSoon(&PlaybackPump::OnTimer, this);
}
