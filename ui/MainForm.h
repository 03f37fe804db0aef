#pragma once
// The main window: eight tool buttons, the strip with the status bar and the two drop-down
// lists, the fold-out list panel with the playlist, and six hidden labels that hold the
// run variables. Handlers keep their established names.
#include <cstdint>
#include <exception>
#include <optional>
#include <string>

#include "engine/Recorder.h"
#include "settings/IniQuill.h"
#include "toolkit/Application.h"
#include "toolkit/Controls.h"
#include "toolkit/Dialogs.h"
#include "toolkit/Form.h"

namespace msg {
// Posted at the end of a recording that caught nothing in a session where the journal
// cannot see every program; shows why.
inline constexpr uint32_t kShowRecordingLimit = 0xB402;
}  // namespace msg

class TForm1 : public TForm {
  public:
    // settingsSystem lets tests point the settings store at a scratch executable path.
    explicit TForm1(TIniQuillSystem settingsSystem = {});

    TOpenDialog OpenDialog1;
    TSpeedButton RecordButton{this, "RecordButton"};
    TSpeedButton New1{this, "New1"};
    TSpeedButton Button1{this, "Button1"};
    TSpeedButton SpeedButton6{this, "SpeedButton6"};
    TStatusBar SB{this, "SB"};
    TSpeedButton PlayButton{this, "PlayButton"};
    TSpeedButton StopButton{this, "StopButton"};
    TIniQuill IniQuill1;
    TSpeedButton Loop{this, "Loop"};
    TLabel Label1{this, "Label1"};
    TLabel Label2{this, "Label2"};
    TLabel Label3{this, "Label3"};
    TComboBox ComboBox2{this, "ComboBox2"};
    TSaveDialog SaveDialog1;
    TComboBox ComboBox1{this, "ComboBox1"};
    TSpeedButton SpeedButton1{this, "SpeedButton1"};
    TSpeedButton SpeedButton3{this, "SpeedButton3"};
    TSpeedButton SpeedButton4{this, "SpeedButton4"};
    TSpeedButton SpeedButton5{this, "SpeedButton5"};
    TListBox ListBox1{this, "ListBox1"};
    TOpenDialog OpenDialog2;
    TSaveDialog SaveDialog2;
    TLabel Label4{this, "Label4"};
    TButton Button2{this, "Button2"};
    TSpeedButton SpeedButton2{this, "SpeedButton2"};
    TSpeedButton SpeedButton7{this, "SpeedButton7"};
    TLabel Label5{this, "Label5"};
    TLabel Label6{this, "Label6"};
    TBevel Bevel1{this, "Bevel1"};

    void New1Click(TObject* Sender);
    void RecordButtonClick(TObject* Sender);
    void StopButtonClick(TObject* Sender);
    void PlayButtonClick(TObject* Sender);
    void FormCloseQuery(TObject* Sender, bool& CanClose);
    void FormCreate(TObject* Sender);
    void Button1Click(TObject* Sender);
    void SpeedButton6Click(TObject* Sender);
    void LoopClick(TObject* Sender);
    void SpeedButton5Click(TObject* Sender);
    void SpeedButton4Click(TObject* Sender);
    void SpeedButton3Click(TObject* Sender);
    void SpeedButton1Click(TObject* Sender);
    void Button2Click(TObject* Sender);
    void SpeedButton2Click(TObject* Sender);
    void SpeedButton7Click(TObject* Sender);

    void AppMessage(TMsg& Msg, bool& Handled);
    void RecorderStateChanged(TRecorderState NewState);

    // The run variables, held as the captions of the hidden labels.
    std::string LoopLimit() const { return Label1.Caption(); }
    void SetLoopLimit(std::string value) { Label1.SetCaption(std::move(value)); }
    std::string PassCounter() const { return Label2.Caption(); }
    void SetPassCounter(std::string value) { Label2.SetCaption(std::move(value)); }
    std::string ExitFlag() const { return Label3.Caption(); }
    void SetExitFlag(std::string value) { Label3.SetCaption(std::move(value)); }
    std::string RunMode() const { return Label4.Caption(); }
    void SetRunMode(std::string value) { Label4.SetCaption(std::move(value)); }
    std::string EndlessFlag() const { return Label5.Caption(); }
    void SetEndlessFlag(std::string value) { Label5.SetCaption(std::move(value)); }
    std::string CancelFlag() const { return Label6.Caption(); }
    void SetCancelFlag(std::string value) { Label6.SetCaption(std::move(value)); }

    // Shared rules of the window.
    std::string StatusText() const;
    void SetStatusText(const std::string& text);
    void SetTitleName(const std::string& name);
    void ApplySpeed();
    int32_t HiddenHeight() const;

  private:
    void LayOutWindow();
    void LayOutToolButtons();
    void LayOutStrip();
    void LayOutListPanel();
    void LayOutHiddenControls();
    void LayOutDialogs();
    void BindHandlers();

    void SetRunButtons(bool record, bool play, bool loop);
    void ApplyBusySet();
    void ApplyReadySet();
    void ApplyRecordingSet();
    void ApplyReleasedSet();
    void RefreshButtons();

    void WatchRecordingEnd(TRecorderState newState);
    void ShowRecordingLimit();

    void RunIdleProcedure();
    void TakeListPath();
    void TakeEndlessPath();
    void TakeCountedPath();
    void StartPass();
    void StartFirstPass(const char* passCounter);
    // Opens a macro file (its open error leaves at once), copies it into the engine and
    // closes it; returns the copy's failure, if any, for the caller to raise.
    std::exception_ptr CopyMacroFile(const std::string& path);
    // The same, and names the file in the title whether or not the copy succeeded.
    std::exception_ptr LoadEntryAndName(const std::string& path);
    void FinishRun();

    void ReadCommandLine();
    void ApplySpeedIndex(const std::string& index);
    void LoadPlaylistInto(const std::string& path);
    void LoadMacroEntry(const std::string& path);

    // Where the recording under way began in the stream; empty when none is under way.
    std::optional<std::size_t> recordingStart_;
};

// The main window's one instance.
extern TForm1* Form1;
