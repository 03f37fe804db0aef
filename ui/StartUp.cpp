// The window's creation handler, the command line it reads, and the close request that
// stores the window's position.
#include "engine/MacroFile.h"
#include "toolkit/Files.h"
#include "toolkit/Strings.h"
#include "ui/CommandLine.h"
#include "ui/LoadProgressDisplay.h"
#include "ui/MainForm.h"

void TForm1::FormCreate(TObject*) {
    SetClientHeight(HiddenHeight());
    IniQuill1.RestorePosition("WINDOW", "POS", *this);
    SetEndlessFlag("");
    Application->OnMessage = [this](TMsg& message, bool& handled) { AppMessage(message, handled); };
    Recorder->OnStateChange = [this](TRecorderState state) { RecorderStateChanged(state); };
    ComboBox1.SetItemIndex(0);
    ComboBox2.SetItemIndex(10);
    RecorderStateChanged(rsIdle);
    ReadCommandLine();
}

void TForm1::ApplySpeedIndex(const std::string& index) {
    ComboBox2.SetItemIndex(index.empty() ? 10 : StrToInt(index));
}

void TForm1::ReadCommandLine() {
    const std::string file = ParamStr(1);
    if (!FileExists(file)) {
        PlayButton.SetEnabled(false);
        Loop.SetEnabled(false);
        StopButton.SetEnabled(false);
        return;
    }
    PlayButton.SetEnabled(true);
    Loop.SetEnabled(true);
    RecordButton.SetEnabled(false);
    StopButton.SetEnabled(false);
    if (UpperCase(ExtractFileExt(file)) == ".MCR") {
        LoadProgressDisplay progress(*this);
        LoadMacroFile(file);
        RecorderStateChanged(rsIdle);
    } else {
        LoadPlaylistInto(file);
    }
    PlayButton.SetEnabled(true);
    Loop.SetEnabled(true);
    SetStatusText("自動指定");
    SetTitleName(file);

    const std::string mode = ParamStr(2);
    const std::string switchName = mode.substr(0, 2);
    const std::string rest = mode.size() > 2 ? mode.substr(2) : std::string();
    if (switchName == "/S") {
        SetStatusText("自動実行");
        ApplySpeedIndex(rest);
        PlayButtonClick(this);
    } else if (switchName == "/P") {
        SetStatusText("自動プレイリスト実行");
        ApplySpeedIndex(rest);
        SpeedButton1Click(this);
    } else if (switchName == "/A") {
        SetStatusText("無限ループ再生");
        ApplySpeedIndex(rest);
        SetEndlessFlag("0");
        SetLoopLimit("0");
        SetPassCounter("1");
        SetCancelFlag("");
        PlayButtonClick(this);
    } else if (switchName == "/L") {
        SetStatusText("自動ループ実行");
        std::size_t dash = rest.find('-');
        SetLoopLimit(rest.substr(0, dash));
        if (dash != std::string::npos) ApplySpeedIndex(rest.substr(dash + 1));
        PlayButtonClick(this);
    }
    if (ParamStr(3) == "/E") SetExitFlag("1");
}

// Stores the window's position. A settings file that cannot be written is reported but
// never keeps the window open: an unattended run must be able to end by itself.
void TForm1::FormCloseQuery(TObject*, bool&) {
    try {
        IniQuill1.StorePosition("WINDOW", "POS", *this);
    } catch (const std::exception& error) {
        Application->HandleException(error);
    }
}
