#pragma once
// The keys that a recording holds down: each key record's down is kept until its up comes.
// When the input leaves for a desktop that the hooks never see (the secure desktop, the
// lock screen), the ups of the keys pressed to get there never reach the recording; these
// are made up for them, so that the macro does not play those keys held to its end.
#include <cstdint>
#include <vector>

#include "engine/EventMsg.h"

class HeldKeys {
  public:
    // Takes note of a record; anything but a key's down or up is passed over.
    void Note(const EVENTMSG& record);
    // The ups of the keys held, stamped time, the last one pressed first; then none is held.
    std::vector<EVENTMSG> Release(uint32_t time);
    void Clear() { downs_.clear(); }

  private:
    std::vector<EVENTMSG> downs_;  // the first down of each key held, in order
};
