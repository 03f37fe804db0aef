#pragma once
// A source that tells the pointer's position only when asked (a compositor's IPC without
// change events). It is asked before each mouse event is translated, in the UI loop: a local
// round trip costs far less than a millisecond, and asking at the event, rather than on a
// timer, costs nothing while the mouse rests and gives a click after a pause the position
// it has at that moment. Asked at most once per kMinPollGapMs: a fast mouse reports up to
// 1000 times a second.
#include <cstdint>
#include <optional>

#include "platform/wayland/PointerSource.h"

class PolledSource : public PointerSource {
  public:
    static constexpr uint32_t kMinPollGapMs = 4;
    // After a failed poll, no other for this long: a compositor that stops answering slows
    // each mouse event by a timeout at most once a second. The last position stays.
    static constexpr uint32_t kQuietAfterFailureMs = 1000;

    // Polls once: a refusal when the compositor does not answer.
    bool Start(Report report, std::string& refusal) override;
    void Before(const DeviceEvent& event) override;
    void Stop() override;

  protected:
    // One question to the compositor: the position, or nullopt with why in error.
    virtual std::optional<PointerPosition> Poll(std::string& error) = 0;
    // Ends what Poll keeps open between questions.
    virtual void Close() {}

  private:
    void PollNow(uint32_t eventTime);

    Report report_;
    uint32_t lastPoll_ = 0;
    uint32_t quietUntil_ = 0;
    bool quiet_ = false;
};
