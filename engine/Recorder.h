#pragma once
// The macro engine: records input through the journal-record hook into its stream and
// plays the stream back through the journal-playback hook, the recorded spacing scaled by a
// percentage. Every change of state is reported synchronously to one listener, which may
// call Stop, SetSpeed, Play or Record again from inside the notification, also while the
// platform is inside a hook callback.
#include <cstdint>
#include <functional>

#include "engine/EventMsg.h"
#include "engine/Journal.h"
#include "engine/MacroStream.h"

enum TRecorderState : uint8_t { rsIdle = 0, rsRecording = 2, rsPlaying = 3 };

using TRecorderStateEvent = std::function<void(TRecorderState)>;

class TRecorder {
  public:
    // Creates the one engine and makes it the global Recorder; returns null when an engine
    // exists already.
    static TRecorder* Create();
    // Stops the engine (notifying the listener when it was not idle) and releases it.
    ~TRecorder();
    TRecorder(const TRecorder&) = delete;
    TRecorder& operator=(const TRecorder&) = delete;

    void Play();
    void Record(bool merge);
    void Stop() { SetState(rsIdle); }
    void SetSpeed(int32_t percent);

    TRecorderState State() const { return state_; }
    MacroStream& Stream() { return stream_; }
    const MacroStream& Stream() const { return stream_; }
    TRecorderStateEvent OnStateChange;

    // Read access for diagnostics and tests.
    const EVENTMSG& CurrentEvent() const { return currentEvent_; }
    JournalHookHandle HookHandle() const { return hookHandle_; }
    uint32_t BaseTick() const { return baseTick_; }
    int32_t SpeedPercent() const { return speedPercent_; }

    // The hook procedures' work; called by PlaybackHookProc and RecordHookProc only.
    int32_t GetNext(EVENTMSG* event);
    void Skip();
    void RecordEvent(const EVENTMSG& event);

  private:
    TRecorder() = default;
    void SetState(TRecorderState newState);
    void StartMergeAtRecordBoundary();
    uint32_t DueTick(uint32_t storedTime) const;

    EVENTMSG currentEvent_{};
    TRecorderState state_ = rsIdle;
    MacroStream stream_;
    JournalHookHandle hookHandle_ = 0;
    uint32_t baseTick_ = 0;
    int32_t speedPercent_ = 100;
    bool firstRecordPending_ = false;  // the record Play read has not been skipped yet
};

// The global engine; null before Create and after its release.
extern TRecorder* Recorder;

int32_t PlaybackHookProc(int32_t code, uintptr_t wParam, intptr_t lParam);
int32_t RecordHookProc(int32_t code, uintptr_t wParam, intptr_t lParam);
