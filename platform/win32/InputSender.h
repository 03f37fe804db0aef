#pragma once
// Plays records into the system's input with SendInput, and remembers what it pressed so
// that nothing stays held down when a playback ends before the stream released it.
#include <functional>
#include <set>
#include <tuple>
#include <utility>

#include "engine/EventMsg.h"
#include "platform/common/PumpLoop.h"
#include "platform/win32/LowLevelInput.h"

class InputSender : public RecordInjector {
  public:
    // refused is called when the system refuses input (the secure desktop or a locked
    // session has the input): the journal ends there, as the system's own journal does.
    explicit InputSender(std::function<void()> refused) : refused_(std::move(refused)) {}

    // Called as a playback starts, before its clock does: reads the physical desktop and moves
    // the pointer to where it is, so that the system's first-call costs of both (a good part
    // of a second under some systems) do not delay the first records.
    void Prepare();
    void Apply(const EVENTMSG& record) override;
    // Releases every key and button that Apply pressed and did not release.
    void ReleaseAll();

  private:
    void Send(std::vector<INPUT>& inputs);
    // Fails, ending the playback, when the window in front has just become one that the
    // system keeps the played input from.
    void CheckForeground();
    void Remember(const INPUT& input);

    ScreenArea screen_;
    std::set<std::tuple<WORD, WORD, DWORD>> keys_;  // virtual key, scan code, flags
    std::set<std::pair<DWORD, DWORD>> buttons_;     // the flag and data that release each
    std::function<void()> refused_;
    HWND foreground_ = nullptr;  // the front window last checked
    DWORD ownLevel_ = 0;         // this process's integrity level
};
