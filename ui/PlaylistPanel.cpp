// The list panel: folding it out and in, editing and saving the playlist, and ListPlay,
// which starts a list run from the first entry.
#include <exception>

#include "toolkit/Strings.h"
#include "ui/MacroListFile.h"
#include "ui/MainForm.h"

void TForm1::SpeedButton2Click(TObject*) {
    SetClientHeight(188);
    SpeedButton2.SetVisible(false);
    SpeedButton7.SetVisible(true);
}

void TForm1::SpeedButton7Click(TObject*) {
    SetClientHeight(HiddenHeight());
    SpeedButton2.SetVisible(true);
    SpeedButton7.SetVisible(false);
}

void TForm1::SpeedButton5Click(TObject*) {
    if (!OpenDialog2.Execute()) return;
    CheckPlaylistEntry(OpenDialog2.FileName);
    ListBox1.AddItem(OpenDialog2.FileName);
}

void TForm1::SpeedButton4Click(TObject*) {
    ListBox1.DeleteItem(ListBox1.ItemIndex());
}

void TForm1::SpeedButton3Click(TObject*) {
    if (!SaveDialog2.Execute()) return;
    SavePlaylist(ListBox1.Items(), SaveDialog2.FileName);
}

void TForm1::SpeedButton1Click(TObject*) {
    SpeedButton2Click(this);
    SetRunMode("List");
    if (ListBox1.Items().empty()) return;
    std::exception_ptr copyFailure = LoadEntryAndName(ListBox1.Items().front());
    ApplyReadySet();
    SetPassCounter("0");
    SetLoopLimit(IntToStr(static_cast<int64_t>(ListBox1.Items().size()) - 1));
    Button2Click(this);  // a failure here is the one reported
    if (copyFailure) std::rethrow_exception(copyFailure);
}

void TForm1::Button2Click(TObject*) {
    StartFirstPass("0");
}
