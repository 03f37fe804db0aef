#pragma once
// Device events of all clients through the RECORD extension, read asynchronously: the data
// connection's descriptor is watched by the UI loop, so no thread is involved.
#include <X11/Xlib.h>
#include <X11/extensions/record.h>

#include <functional>
#include <vector>

#include "platform/x11/EventTranslator.h"

class RecordSource {
  public:
    using Sink = std::function<void(const XDeviceEvent&)>;

    // control: the connection through which the context is managed.
    explicit RecordSource(Display* control) : control_(control) {}
    ~RecordSource() { Stop(); }

    // False when the server has no RECORD extension or refuses the context. On return the
    // server records (unless it did not answer in time); events recorded before the return
    // reach the sink from the UI loop.
    bool Start(Sink sink);
    // Safe to call from inside the sink: the teardown then waits until the batch is done,
    // and the rest of the batch is dropped.
    void Stop();
    // Stops after handing the sink every event that the server recorded up to now: events
    // that the program's own windows have already seen (the click that ends a recording)
    // may still be on their way on the data connection. From inside the sink, as Stop.
    void Finish();
    bool Running() const { return context_ != 0; }

  private:
    static void OnReadable(int fd, void* self);
    static void OnHeld(void* self);
    static void OnIntercept(XPointer self, XRecordInterceptData* data);
    void Deliver(const unsigned char* wire);
    void TearDown();
    void ProcessUntil(const bool& reached);
    void ProcessReplies();
    void DeliverHeld();
    void DiscardEvents();

    Display* control_;
    Display* data_ = nullptr;
    XRecordContext context_ = 0;
    Sink sink_;
    bool processing_ = false;
    bool stopRequested_ = false;
    bool tearingDown_ = false;
    bool starting_ = false;     // the enable is not answered yet: events are held
    bool startOfData_ = false;  // the server has answered the enable
    bool endOfData_ = false;    // the server has sent the last data of the context
    std::vector<XDeviceEvent> held_;
};
