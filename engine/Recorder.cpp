#include "engine/Recorder.h"

#include <algorithm>
#include <cstdint>

#include "engine/HookErrors.h"
#include "toolkit/Exception.h"

TRecorder* Recorder = nullptr;

namespace {

const char kCannotPlay[] =
    "マクロを再生できません。マクロリストファイルを指定した場合は [List Play] "
    "ボタンで再生です。";
const char kPlaybackHookFailed[] = "Playback hook が作成できませんでした。";
const char kNotReadyToRecord[] = "マクロを記録できる準備ができていません。";
const char kRecordHookFailed[] = "JournalHook が作成できませんでした。";

EVENTMSG* EventAt(intptr_t lParam) {
    return reinterpret_cast<EVENTMSG*>(lParam);
}

// Keyboard parameters as the system takes them on playback: the key code alone in paramL,
// the scan code in paramH. The stream keeps the recorded layout.
void RearrangeKeyParameters(EVENTMSG& event) {
    if (event.message != msg::kKeyDown && event.message != msg::kKeyUp) return;
    event.paramH = (event.paramL >> 8) & 0xFF;
    event.paramL &= 0xFF;
}

}  // namespace

TRecorder* TRecorder::Create() {
    if (Recorder != nullptr) return nullptr;
    Recorder = new TRecorder();
    return Recorder;
}

TRecorder::~TRecorder() {
    RunGuarded([this] { Stop(); });
    // The listener may have started another pass from that last notification; the engine is
    // going away, so it ends without telling anyone.
    OnStateChange = nullptr;
    Stop();
    if (Recorder == this) Recorder = nullptr;
}

void TRecorder::SetState(TRecorderState newState) {
    if (newState == rsIdle && hookHandle_ != 0) {
        RemoveJournalHook(hookHandle_);
        hookHandle_ = 0;
    }
    if (newState == state_) return;
    state_ = newState;
    if (OnStateChange) {
        TRecorderStateEvent listener = OnStateChange;  // the listener may reassign it
        listener(newState);
    }
}

void TRecorder::SetSpeed(int32_t percent) {
    if (percent > 0) speedPercent_ = percent;
}

void TRecorder::Play() {
    // A stream shorter than one record holds nothing that could be delivered.
    if (state_ != rsIdle || stream_.Size() < kEventMsgSize) throw Exception(kCannotPlay);
    stream_.Seek(0, SeekOrigin::Begin);
    stream_.ReadEvent(currentEvent_);
    firstRecordPending_ = true;
    hookHandle_ = InstallJournalHook(JournalHookType::Playback, PlaybackHookProc);
    if (hookHandle_ == 0) throw Exception(kPlaybackHookFailed);
    baseTick_ = JournalTickCount();
    SetState(rsPlaying);
}

void TRecorder::Record(bool merge) {
    if (state_ != rsIdle) throw Exception(kNotReadyToRecord);
    // The hook first: where the journal refuses (or cannot read the input devices), the macro
    // in memory is kept. Journals call the hook only from their loop, never from inside the
    // install, so the stream is ready before the first record.
    hookHandle_ = InstallJournalHook(JournalHookType::Record, RecordHookProc);
    if (hookHandle_ == 0) throw Exception(kRecordHookFailed);
    if (!merge) {
        stream_.Clear();
        baseTick_ = JournalTickCount();
    } else {
        StartMergeAtRecordBoundary();
        baseTick_ = JournalTickCount() - currentEvent_.time;
    }
    SetState(rsRecording);
}

void TRecorder::StartMergeAtRecordBoundary() {
    currentEvent_.time = 0;
    // Bytes of a partial record before the position (a file whose length is not a multiple of
    // 20) could never be played: the merge starts at the last whole record and overwrites them.
    const std::size_t end =
        stream_.Position() < stream_.Size() ? stream_.Position() : stream_.Size();
    const std::size_t boundary = end - end % kEventMsgSize;
    if (boundary == 0) {
        stream_.Seek(0, SeekOrigin::Begin);
        return;
    }
    // Read back the record before it; time 0 lines up with that record.
    stream_.Seek(static_cast<int64_t>(boundary - kEventMsgSize), SeekOrigin::Begin);
    stream_.ReadEvent(currentEvent_);
}

uint32_t TRecorder::DueTick(uint32_t storedTime) const {
    // A time stamped before time 0 has wrapped to near 2^32: due at once.
    if (static_cast<int32_t>(storedTime) < 0) return baseTick_;
    // A scaled time past 2^31 - 1 ms would wrap the signed delay, and a later record could
    // then wait out the whole tick range once more: it is due at the latest tick the delay
    // can reach instead.
    const uint64_t offset = uint64_t{storedTime / 100} * static_cast<uint32_t>(speedPercent_);
    return static_cast<uint32_t>(std::min<uint64_t>(offset, INT32_MAX)) + baseTick_;
}

int32_t TRecorder::GetNext(EVENTMSG* event) {
    int32_t delay = 0;
    if (!firstRecordPending_) {
        delay = static_cast<int32_t>(currentEvent_.time - JournalTickCount());
        if (delay < 0) delay = 0;
    }
    *event = currentEvent_;
    RearrangeKeyParameters(*event);
    return delay;
}

void TRecorder::Skip() {
    firstRecordPending_ = false;
    // Trailing bytes that do not make a whole record end the playback like its end.
    if (stream_.Position() + kEventMsgSize <= stream_.Size()) {
        stream_.ReadEvent(currentEvent_);
        currentEvent_.time = DueTick(currentEvent_.time);
        return;
    }
    SetState(rsIdle);
}

void TRecorder::RecordEvent(const EVENTMSG& event) {
    currentEvent_ = event;
    currentEvent_.time -= baseTick_;
    if (IsKeyboardMessage(currentEvent_.message) && (currentEvent_.paramL & 0xFF) == kVkCancel) {
        RunGuarded([this] { SetState(rsIdle); });
    }
    try {
        stream_.WriteEvent(currentEvent_);
    } catch (...) {
        // Out of memory: keep what was recorded, end the recording, tell the user.
        ReportCurrentException();
        RunGuarded([this] { SetState(rsIdle); });
    }
}

int32_t PlaybackHookProc(int32_t code, uintptr_t wParam, intptr_t lParam) {
    TRecorder* engine = Recorder;
    if (engine == nullptr) return CallNextJournalHook(0, code, wParam, lParam);
    if (code == kHookGetNext) return engine->GetNext(EventAt(lParam));
    if (code == kHookSkip) {
        RunGuarded([engine] { engine->Skip(); });
        return 0;
    }
    if (code >= 0 && lParam != 0) *EventAt(lParam) = engine->CurrentEvent();
    return CallNextJournalHook(engine->HookHandle(), code, wParam, lParam);
}

int32_t RecordHookProc(int32_t code, uintptr_t wParam, intptr_t lParam) {
    TRecorder* engine = Recorder;
    if (engine == nullptr) return code < 0 ? CallNextJournalHook(0, code, wParam, lParam) : 0;
    if (code < 0) return CallNextJournalHook(engine->HookHandle(), code, wParam, lParam);
    if (code == kHookAction && lParam != 0) engine->RecordEvent(*EventAt(lParam));
    return 0;
}
