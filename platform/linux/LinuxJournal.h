#pragma once
// The Linux program carries two input journals, X11 (RECORD and XTEST) and Wayland (the
// kernel's input devices and the compositor's own ways in); one is chosen at start and
// realises engine/Journal.h for the rest of the run.
#include <functional>
#include <memory>
#include <string>

#include "engine/Journal.h"

class LinuxJournal {
  public:
    virtual ~LinuxJournal() = default;

    virtual JournalHookHandle Install(JournalHookType type, JournalHookProc procedure) = 0;
    virtual void Remove(JournalHookHandle handle) = 0;
    // See JournalRecordingLimit().
    virtual std::string RecordingLimit() const = 0;
    // How this journal records and plays, for the user: "入力: ..." (the help page's About).
    virtual std::string WayText() const = 0;
    // Called after a journal cancel (Ctrl+Esc) has removed the hooks.
    virtual void SetCancelHandler(std::function<void()> handler) = 0;
    // Ends any playback at once and releases what it holds pressed. lostDisplay: an X
    // connection that has broken, which must not be used again (an X Display*).
    virtual void ReleaseInput(void* lostDisplay) = 0;
};

// Makes journal the one engine/Journal.h uses; called once, at start.
void SelectJournal(std::unique_ptr<LinuxJournal> journal);
// The journal in use; nullptr before SelectJournal.
LinuxJournal* SelectedJournal();
