// The run sequencer: the window's answer to every change of the engine's state. When the
// engine turns idle it plays the next pass (counted, endless or the next playlist entry) or
// ends the run, and with the exit flag "1" closes the program. It keeps nothing between
// calls but the run variables and where a recording began, so nested calls from inside a
// pass start are safe.
#include <exception>
#include <optional>
#include <utility>

#include "engine/Journal.h"
#include "toolkit/Strings.h"
#include "ui/EmptyRecording.h"
#include "ui/MacroListFile.h"
#include "ui/MainForm.h"

void TForm1::RecorderStateChanged(TRecorderState NewState) {
    switch (NewState) {
        case rsIdle:
            SetStatusText("レディ");
            break;
        case rsRecording:
            SetStatusText("操作記録中");
            break;
        case rsPlaying:
            SetStatusText("再生中");
            break;
    }
    WatchRecordingEnd(NewState);
    // An error in the idle procedure leaves here, before the button refresh.
    if (NewState == rsIdle) RunIdleProcedure();
    RefreshButtons();
}

void TForm1::RunIdleProcedure() {
    if (RunMode() == "List") {
        TakeListPath();
    } else if (EndlessFlag() == "0") {
        TakeEndlessPath();
    } else {
        TakeCountedPath();
    }
}

void TForm1::TakeListPath() {
    int32_t entryIndex = static_cast<int32_t>(static_cast<uint32_t>(StrToInt(PassCounter())) + 1u);
    SetPassCounter(IntToStr(entryIndex));
    if (entryIndex > StrToInt(LoopLimit())) {
        FinishRun();
        return;
    }
    std::exception_ptr failure = LoadEntryAndName(PlaylistEntry(ListBox1.Items(), entryIndex));
    if (failure) std::rethrow_exception(failure);
    StartPass();
}

void TForm1::TakeEndlessPath() {
    if (!CancelFlag().empty()) {
        FinishRun();
        return;
    }
    StartPass();
    SetStatusText("無限ループ再生");
    ApplyBusySet();
}

void TForm1::TakeCountedPath() {
    SetPassCounter(
        IntToStr(static_cast<int64_t>(static_cast<uint64_t>(StrToInt64(PassCounter())) + 1u)));
    int64_t limit = StrToInt64(LoopLimit());
    if (StrToInt64(PassCounter()) > limit) {
        FinishRun();
        return;
    }
    StartPass();
    SetStatusText("ループ再生 (" + PassCounter() + "/" + LoopLimit() + ")");
    ApplyBusySet();
}

void TForm1::StartPass() {
    Recorder->Stop();
    ApplySpeed();
    Recorder->Play();
    Application->ProcessMessages();
}

void TForm1::FinishRun() {
    ApplyReleasedSet();
    SetStatusText("レディ");
    SetLoopLimit("0");
    if (ExitFlag() == "1") Close();
}

// Where the journal cannot see every program, a recording that caught nothing but its own
// stop gets a word why. It is shown from the message loop: the end of a recording can be
// noticed inside the journal's callback.
void TForm1::WatchRecordingEnd(TRecorderState newState) {
    const MacroStream& stream = Recorder->Stream();
    if (newState == rsRecording) {
        recordingStart_ = stream.Position();
        return;
    }
    std::optional<std::size_t> start = std::exchange(recordingStart_, std::nullopt);
    if (!start || newState != rsIdle || JournalRecordingLimit().empty()) return;
    if (RecordedOnlyTheStop(stream, *start, stream.Position())) {
        Application->Post(TMsg{.message = msg::kShowRecordingLimit});
    }
}

void TForm1::ShowRecordingLimit() {
    ShowMessageBox("何も記録されませんでした。\n" + JournalRecordingLimit(), Application->Title,
                   kMbOk | kMbIconWarning);
}

void TForm1::AppMessage(TMsg& Msg, bool& Handled) {
    if (Msg.message == msg::kShowRecordingLimit) {
        ShowRecordingLimit();
        Handled = true;
        return;
    }
    if (Msg.message != msg::kCancelJournal) return;
    SetLoopLimit("0");
    SetCancelFlag("0");
    Recorder->Stop();
}
