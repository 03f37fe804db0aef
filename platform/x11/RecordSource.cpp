#include "platform/x11/RecordSource.h"

#include <FL/Fl.H>
#include <X11/Xproto.h>
#include <poll.h>

#include <chrono>
#include <utility>

#include "engine/HookErrors.h"

#include "platform/x11/XErrorTrap.h"

bool RecordSource::Start(Sink sink) {
    Stop();
    int major = 0;
    int minor = 0;
    if (!XRecordQueryVersion(control_, &major, &minor)) return false;
    data_ = XOpenDisplay(DisplayString(control_));
    if (data_ == nullptr) return false;
    XRecordRange* range = XRecordAllocRange();
    range->device_events.first = KeyPress;
    range->device_events.last = MotionNotify;
    XRecordClientSpec clients = XRecordAllClients;
    {
        XErrorTrap trap(control_);
        context_ = XRecordCreateContext(control_, 0, &clients, 1, &range, 1);
        if (trap.Failed()) context_ = 0;
    }
    XFree(range);
    if (context_ == 0 || !XRecordEnableContextAsync(data_, context_, &OnIntercept,
                                                    reinterpret_cast<XPointer>(this))) {
        TearDown();
        return false;
    }
    sink_ = std::move(sink);
    startOfData_ = endOfData_ = false;
    // The context is in force once the server has answered the enable; the caller reads the
    // keyboard after that, so that no event falls between the state and the first record.
    // What arrives meanwhile waits for the next turn of the loop.
    starting_ = true;
    ProcessUntil(startOfData_);
    starting_ = false;
    Fl::add_fd(ConnectionNumber(data_), FL_READ, &RecordSource::OnReadable, this);
    if (!held_.empty()) Fl::add_timeout(0.0, &RecordSource::OnHeld, this);
    return true;
}

void RecordSource::Stop() {
    if (processing_) {
        stopRequested_ = true;
        return;
    }
    TearDown();
}

void RecordSource::Finish() {
    if (processing_ || context_ == 0) {
        Stop();
        return;
    }
    // Disabling the context makes the server send what it has recorded so far, then an
    // end-of-data reply, on the data connection.
    XRecordDisableContext(control_, context_);
    XFlush(control_);
    ProcessUntil(endOfData_);
    TearDown();
}

void RecordSource::ProcessUntil(const bool& reached) {
    // Bounded: a server that never answers must not hang the program.
    constexpr auto kLongestWait = std::chrono::milliseconds(500);
    const auto deadline = std::chrono::steady_clock::now() + kLongestWait;
    while (!reached && !stopRequested_ && data_ != nullptr) {
        ProcessReplies();
        if (reached || stopRequested_) break;
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd readable{ConnectionNumber(data_), POLLIN, 0};
        if (left.count() <= 0 || poll(&readable, 1, static_cast<int>(left.count())) <= 0) break;
    }
}

void RecordSource::TearDown() {
    // Closing the data connection reads what is still on its way and hands it to the
    // interceptor; a sink that ended the recording from there would tear down again.
    if (tearingDown_) return;
    tearingDown_ = true;
    sink_ = nullptr;
    held_.clear();
    Fl::remove_timeout(&RecordSource::OnHeld, this);
    if (context_ != 0) {
        XRecordDisableContext(control_, context_);
        XRecordFreeContext(control_, context_);
        XSync(control_, False);
        context_ = 0;
    }
    if (Display* data = std::exchange(data_, nullptr)) {
        Fl::remove_fd(ConnectionNumber(data));
        XCloseDisplay(data);
    }
    stopRequested_ = false;
    tearingDown_ = false;
}

void RecordSource::ProcessReplies() {
    const bool outer = std::exchange(processing_, true);
    DeliverHeld();
    DiscardEvents();
    XRecordProcessReplies(data_);
    DiscardEvents();
    processing_ = outer;
}

void RecordSource::DiscardEvents() {
    // The data connection also gets the events sent to every client (MappingNotify after a
    // keyboard or pointer mapping change). Xlib reads no more from the connection while its
    // queue holds any, so they must go, or no further record would arrive.
    while (XQLength(data_) > 0) {
        XEvent event;
        XNextEvent(data_, &event);
    }
}

void RecordSource::DeliverHeld() {
    if (starting_) return;
    const bool outer = std::exchange(processing_, true);
    std::vector<XDeviceEvent> held;
    held.swap(held_);
    for (const XDeviceEvent& event : held) {
        if (stopRequested_ || !sink_) break;
        RunGuarded([this, &event] { sink_(event); });
    }
    processing_ = outer;
}

void RecordSource::OnHeld(void* self) {
    auto* source = static_cast<RecordSource*>(self);
    source->DeliverHeld();
    if (source->stopRequested_) source->TearDown();
}

void RecordSource::OnReadable(int, void* self) {
    auto* source = static_cast<RecordSource*>(self);
    source->ProcessReplies();
    if (source->stopRequested_) source->TearDown();
}

void RecordSource::OnIntercept(XPointer self, XRecordInterceptData* data) {
    auto* source = reinterpret_cast<RecordSource*>(self);
    if (data->category == XRecordStartOfData) source->startOfData_ = true;
    if (data->category == XRecordEndOfData) source->endOfData_ = true;
    if (data->category == XRecordFromServer && !source->stopRequested_ && data->data != nullptr) {
        // Called from inside Xlib: nothing may unwind through it.
        RunGuarded([source, data] { source->Deliver(data->data); });
    }
    XRecordFreeData(data);
}

void RecordSource::Deliver(const unsigned char* wire) {
    const auto* event = reinterpret_cast<const xEvent*>(wire);
    XDeviceEvent device{event->u.u.type & 0x7F, event->u.u.detail, event->u.keyButtonPointer.rootX,
                        event->u.keyButtonPointer.rootY, event->u.keyButtonPointer.time};
    if (starting_) {
        held_.push_back(device);
    } else if (sink_) {
        sink_(device);
    }
}
