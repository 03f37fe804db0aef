#pragma once
// The simulated journal: a virtual tick clock, an event source that drives the installed
// record hook and a sink that drives the installed playback hook by the journal protocol.
// It realises engine/Journal.h for tests and benchmarks; no display is needed.
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "engine/EventMsg.h"
#include "engine/Journal.h"

class PlaybackPump;

struct PostedMessage {
    uint32_t message = 0;
    uintptr_t wParam = 0;
    intptr_t lParam = 0;
};

class SimJournal {
  public:
    struct Delivery {
        EVENTMSG event;
        uint32_t tick;  // the virtual tick at which the sink delivered it
    };
    struct PlaybackOptions {
        // Ask again half-way through every wait instead of waiting the whole delay.
        bool askPartWay = false;
        // Stop driving after this many deliveries (an endless loop never ends by itself).
        std::size_t maxDeliveries = 1'000'000;
        // Called after each delivery, before kHookSkip; it may stop, cancel or advance.
        std::function<void(const Delivery&)> onDelivered;
    };

    static SimJournal& Instance();

    // Back to a clean journal: no hooks, clock at 0, empty logs, no injected failures.
    void Reset();

    // The virtual clock.
    uint32_t Tick() const { return tick_; }
    void SetTick(uint32_t tick) { tick_ = tick; }
    void Advance(uint32_t milliseconds) { tick_ += milliseconds; }

    // What JournalRecordingLimit says, as a session that hides some programs would.
    void SetRecordingLimit(std::string note) { recordingLimit_ = std::move(note); }
    const std::string& RecordingLimit() const { return recordingLimit_; }

    // Failure injection: the next installs of this type are refused.
    void FailInstalls(JournalHookType type, bool fail);

    // The event source: calls the record hook with kHookAction and an event stamped now.
    // Returns false when no record hook is installed.
    bool SendRecordEvent(uint32_t message, uint32_t paramL, uint32_t paramH = 0, uint32_t hwnd = 0);
    // Calls the record hook with any code (negative, system-modal) and no event.
    int32_t SendRecordCode(int32_t code);

    // The sink: drives the installed playback hook until none is installed or the limit is
    // reached; returns the number of records delivered by this call.
    std::size_t RunPlayback(const PlaybackOptions& options);
    std::size_t RunPlayback() { return RunPlayback(PlaybackOptions{}); }
    const std::vector<Delivery>& Deliveries() const { return deliveries_; }
    // Every delay the playback hook returned, in order.
    const std::vector<int32_t>& Delays() const { return delays_; }
    // Calls the playback hook with any code, as the system does for kHookNoRemove etc.
    int32_t SendPlaybackCode(int32_t code, EVENTMSG* event);

    // Drives playback hooks through the platforms' pump instead of RunPlayback: installing
    // one starts the pump, removing it (or a cancel) stops it. Null detaches.
    void AttachPump(PlaybackPump* pump) { pump_ = pump; }

    // The user's journal cancel: hooks removed by the system, kCancelJournal posted.
    void CancelJournal();
    std::deque<PostedMessage>& PostedMessages() { return posted_; }

    // Inspection.
    bool IsInstalled(JournalHookType type) const;
    JournalHookHandle InstalledHandle(JournalHookType type) const;
    int InstallCount() const { return installCount_; }
    int StaleRemoveCount() const { return staleRemoveCount_; }
    int CallNextCount() const { return callNextCount_; }

    // Journal.h realisation.
    JournalHookHandle Install(JournalHookType type, JournalHookProc procedure);
    void Remove(JournalHookHandle handle);
    int32_t CallNext(JournalHookHandle handle, int32_t code, uintptr_t wParam, intptr_t lParam);

  private:
    struct Hook {
        JournalHookHandle handle;
        JournalHookType type;
        JournalHookProc procedure;
    };
    const Hook* Find(JournalHookType type) const;
    int32_t WaitUntilDue(const Hook& hook, EVENTMSG& event, bool askPartWay);

    uint32_t tick_ = 0;
    std::vector<Hook> hooks_;
    JournalHookHandle nextHandle_ = 0x1000;
    bool failRecord_ = false;
    bool failPlayback_ = false;
    std::vector<Delivery> deliveries_;
    std::vector<int32_t> delays_;
    std::deque<PostedMessage> posted_;
    int installCount_ = 0;
    int staleRemoveCount_ = 0;
    int callNextCount_ = 0;
    PlaybackPump* pump_ = nullptr;
    std::string recordingLimit_;
};
