// The commands that drive the engine directly (Open, Save, Record, R-Stop, Play, Help) and
// the window's shared rules: status text, title, speed parsing, button sets.
#include <exception>

#include "engine/MacroFile.h"
#include "toolkit/Files.h"
#include "toolkit/Strings.h"
#include "ui/LoadProgressDisplay.h"
#include "ui/MacroListFile.h"
#include "ui/MainForm.h"

namespace {
const char kTitlePrefix[] = " Tapewright R.7 - [";
}  // namespace

std::string TForm1::StatusText() const {
    return SB.Panels().empty() ? std::string() : SB.Panels().front().Text;
}

void TForm1::SetStatusText(const std::string& text) {
    SB.SetPanelText(0, text);
}

void TForm1::SetTitleName(const std::string& name) {
    SetCaption(kTitlePrefix + name + "]");
}

int32_t TForm1::HiddenHeight() const {
    return StopButton.Height() + ComboBox1.Height() + 9;
}

// The time scale is the selected item's text up to its first blank.
void TForm1::ApplySpeed() {
    std::string text = ComboBox2.Text();
    std::size_t blank = text.find(' ');
    std::string number = blank == std::string::npos ? std::string() : text.substr(0, blank);
    Recorder->SetSpeed(StrToInt(number));
}

void TForm1::SetRunButtons(bool record, bool play, bool loop) {
    RecordButton.SetEnabled(record);
    PlayButton.SetEnabled(play);
    Loop.SetEnabled(loop);
}

void TForm1::ApplyBusySet() {
    SetRunButtons(false, false, false);
    StopButton.SetEnabled(false);
}

void TForm1::ApplyReadySet() {
    SetRunButtons(true, true, true);
    StopButton.SetEnabled(false);
}

void TForm1::ApplyRecordingSet() {
    SetRunButtons(false, false, false);
    StopButton.SetEnabled(true);
}

void TForm1::ApplyReleasedSet() {
    SetRunButtons(true, true, true);
}

void TForm1::RefreshButtons() {
    TRecorderState state = Recorder->State();
    bool idle = state == rsIdle;
    bool hasMacro = Recorder->Stream().Size() > 0;
    PlayButton.SetEnabled(idle && hasMacro);
    RecordButton.SetEnabled(idle);
    StopButton.SetEnabled(state == rsRecording);
    New1.SetEnabled(idle && hasMacro);
    Button1.SetEnabled(idle);
}

void TForm1::LoadPlaylistInto(const std::string& path) {
    PlaylistEntries entries = ListBox1.Items();
    LoadPlaylist(entries, path);
    ListBox1.SetItems(std::move(entries));
}

void TForm1::Button1Click(TObject*) {
    if (!OpenDialog1.Execute()) return;
    const std::string path = OpenDialog1.FileName;
    if (UpperCase(ExtractFileExt(path)) != ".MCR") {
        LoadPlaylistInto(path);
        SpeedButton2Click(this);
        ApplyBusySet();
        return;
    }
    SpeedButton7Click(this);
    // The file is closed before the idle procedure, which may start a pass and let
    // messages through.
    std::exception_ptr failure = CopyMacroFile(path);
    if (!failure) {
        try {
            RecorderStateChanged(rsIdle);
        } catch (...) {
            failure = std::current_exception();
        }
    }
    // Once the file was opened the window follows it, whether or not the copy succeeded.
    SetTitleName(ExtractFileName(path));
    ApplyReadySet();
    SetLoopLimit("0");
    SetPassCounter("1");
    if (failure) std::rethrow_exception(failure);
}

void TForm1::New1Click(TObject*) {
    if (!SaveDialog1.Execute()) return;
    SaveMacroFile(SaveDialog1.FileName);
}

void TForm1::RecordButtonClick(TObject*) {
    ApplyRecordingSet();
    SetStatusText("記録中");
    Recorder->Stop();
    Recorder->Record(ComboBox1.ItemIndex() != 0);
}

void TForm1::StopButtonClick(TObject*) {
    Recorder->Stop();
    SetStatusText("記録終了");
    ApplyReleasedSet();
}

void TForm1::PlayButtonClick(TObject*) {
    StartFirstPass("1");
}

// Play and the list start begin a run alike; only the first pass counter differs.
void TForm1::StartFirstPass(const char* passCounter) {
    SetPassCounter(passCounter);
    StartPass();
    // A journal cancel let through by the pass start has ended the run already, and its
    // finishing step has left the texts and buttons of an idle engine.
    if (Recorder->State() != rsPlaying) return;
    SetStatusText("実行中");
    ApplyBusySet();
}

std::exception_ptr TForm1::CopyMacroFile(const std::string& path) {
    InputFile file = InputFile::Open(path);
    try {
        LoadProgressDisplay progress(*this);
        LoadMacroFile(Recorder->Stream(), file);
    } catch (...) {
        return std::current_exception();
    }
    return nullptr;
}

std::exception_ptr TForm1::LoadEntryAndName(const std::string& path) {
    std::exception_ptr failure = CopyMacroFile(path);
    SetTitleName(ExtractFileName(path));
    return failure;
}

void TForm1::SpeedButton6Click(TObject*) {
    Application->HelpFile = "TAPEWRT.HLP";
    Application->HelpCommand(kHelpContents, 0);
}
