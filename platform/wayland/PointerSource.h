#pragma once
// Where the pointer is while recording, from what the desktop offers: a compositor's IPC, a
// script or an extension reporting its changes, or an estimate from the devices' relative
// motion. The journal runs one source during a recording and gives each mouse record the
// latest position reported at or before the record's time (PositionHistory).
#include <cstdint>
#include <functional>
#include <string>

#include "platform/wayland/DeviceEvents.h"

class PointerSource {
  public:
    // A position and when it held, in the journal's ticks (monotonic milliseconds): what a
    // source receives is stamped on receipt, an estimate with its device event's time.
    using Report = std::function<void(PointerPosition at, uint32_t time)>;

    virtual ~PointerSource() = default;
    // For the user: what tells the position, as "Hyprland の IPC".
    virtual std::string Name() const = 0;
    // True where the desktop says where the pointer is; false for an estimate.
    virtual bool Exact() const = 0;
    // Starts reporting for a recording. False, with why for the user in refusal, when the
    // desktop does not answer.
    virtual bool Start(Report report, std::string& refusal) = 0;
    // Called with every device event before the journal translates it: by its return the
    // source has reported what it knows by then (reports waiting to be read, a poll, the
    // event's own motion), so that a report received before the event counts for it.
    virtual void Before(const DeviceEvent& event) = 0;
    // Ends the recording's reports; Start may follow again.
    virtual void Stop() = 0;
};
