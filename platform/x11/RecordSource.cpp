#include "platform/x11/RecordSource.h"

#include <FL/Fl.H>
#include <X11/Xproto.h>

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
    Fl::add_fd(ConnectionNumber(data_), FL_READ, &RecordSource::OnReadable, this);
    return true;
}

void RecordSource::Stop() {
    if (processing_) {
        stopRequested_ = true;
        return;
    }
    TearDown();
}

void RecordSource::TearDown() {
    if (context_ != 0) {
        XRecordDisableContext(control_, context_);
        XRecordFreeContext(control_, context_);
        XSync(control_, False);
        context_ = 0;
    }
    if (data_ != nullptr) {
        Fl::remove_fd(ConnectionNumber(data_));
        XCloseDisplay(data_);
        data_ = nullptr;
    }
    sink_ = nullptr;
    stopRequested_ = false;
}

void RecordSource::OnReadable(int, void* self) {
    auto* source = static_cast<RecordSource*>(self);
    source->processing_ = true;
    XRecordProcessReplies(source->data_);
    source->processing_ = false;
    if (source->stopRequested_) source->TearDown();
}

void RecordSource::OnIntercept(XPointer self, XRecordInterceptData* data) {
    auto* source = reinterpret_cast<RecordSource*>(self);
    if (data->category == XRecordFromServer && !source->stopRequested_ && data->data != nullptr) {
        source->Deliver(data->data);
    }
    XRecordFreeData(data);
}

void RecordSource::Deliver(const unsigned char* wire) {
    const auto* event = reinterpret_cast<const xEvent*>(wire);
    XDeviceEvent device{event->u.u.type & 0x7F, event->u.u.detail, event->u.keyButtonPointer.rootX,
                        event->u.keyButtonPointer.rootY, event->u.keyButtonPointer.time};
    if (sink_) sink_(device);
}
