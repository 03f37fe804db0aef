#pragma once
// Plays records into the system's input with SendInput, and remembers what it pressed so
// that nothing stays held down when a playback ends before the stream released it.
#include <set>
#include <tuple>

#include "engine/EventMsg.h"
#include "platform/common/PumpLoop.h"
#include "platform/win32/LowLevelInput.h"

class InputSender : public RecordInjector {
  public:
    // Called as a playback starts, before its clock does: reads the virtual screen and moves
    // the pointer to where it is, so that the system's first-call costs of both (a good part
    // of a second under some systems) do not delay the first records.
    void Prepare();
    void Apply(const EVENTMSG& record) override;
    // Releases every key and button that Apply pressed and did not release.
    void ReleaseAll();

  private:
    void Send(std::vector<INPUT>& inputs);
    void Remember(const INPUT& input);

    ScreenArea screen_;
    std::set<std::tuple<WORD, WORD, DWORD>> keys_;  // virtual key, scan code, flags
    std::set<DWORD> buttons_;                       // the flag that releases each
    bool refused_ = false;                          // the system refused input this playback
};
