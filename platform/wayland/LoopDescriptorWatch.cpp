#include "platform/wayland/LoopDescriptorWatch.h"

#include <FL/Fl.H>

LoopDescriptorWatch::~LoopDescriptorWatch() {
    for (const auto& [fd, ready] : watched_) Fl::remove_fd(fd);
}

void LoopDescriptorWatch::Watch(int fd, Ready ready) {
    if (watched_.count(fd) == 0) Fl::add_fd(fd, FL_READ, &LoopDescriptorWatch::OnReadable, this);
    watched_[fd] = std::move(ready);
}

void LoopDescriptorWatch::Unwatch(int fd) {
    if (watched_.erase(fd) != 0) Fl::remove_fd(fd);
}

void LoopDescriptorWatch::OnReadable(int fd, void* self) {
    auto& watched = static_cast<LoopDescriptorWatch*>(self)->watched_;
    auto found = watched.find(fd);
    if (found == watched.end()) return;
    Ready ready = found->second;  // the call may unwatch its own descriptor
    ready();
}
