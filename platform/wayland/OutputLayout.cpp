#include "platform/wayland/OutputLayout.h"

#include <algorithm>

#include "wayland/xdg-output-client.h"

bool PlaceInBox(const LayoutBox& box, int32_t x, int32_t y, uint32_t& boxX, uint32_t& boxY) {
    if (box.width <= 0 || box.height <= 0) return false;
    const int64_t dx = int64_t{x} - box.x;
    const int64_t dy = int64_t{y} - box.y;
    boxX = static_cast<uint32_t>(std::clamp<int64_t>(dx, 0, box.width - 1));
    boxY = static_cast<uint32_t>(std::clamp<int64_t>(dy, 0, box.height - 1));
    return true;
}

namespace {

void Ignore(void*, zxdg_output_v1*) {}
void IgnoreText(void*, zxdg_output_v1*, const char*) {}

}  // namespace

OutputLayout::~OutputLayout() {
    for (const auto& output : outputs_) {
        if (output->xdg != nullptr) zxdg_output_v1_destroy(output->xdg);
        wl_output_destroy(output->output);
    }
    if (manager_ != nullptr) zxdg_output_manager_v1_destroy(manager_);
}

void OutputLayout::SetManager(zxdg_output_manager_v1* manager) {
    manager_ = manager;
    for (const auto& output : outputs_) Describe(*output);
}

void OutputLayout::AddOutput(wl_output* output, uint32_t globalName) {
    auto added = std::make_unique<Output>();
    added->globalName = globalName;
    added->output = output;
    Describe(*added);
    outputs_.push_back(std::move(added));
}

void OutputLayout::RemoveGlobal(uint32_t globalName) {
    auto gone = std::find_if(outputs_.begin(), outputs_.end(), [globalName](const auto& output) {
        return output->globalName == globalName;
    });
    if (gone == outputs_.end()) return;
    if ((*gone)->xdg != nullptr) zxdg_output_v1_destroy((*gone)->xdg);
    wl_output_destroy((*gone)->output);
    outputs_.erase(gone);
}

void OutputLayout::Describe(Output& output) {
    static const zxdg_output_v1_listener kListener = {
        &OutputLayout::OnPosition, &OutputLayout::OnSize, Ignore, IgnoreText, IgnoreText};
    if (manager_ == nullptr || output.xdg != nullptr) return;
    output.xdg = zxdg_output_manager_v1_get_xdg_output(manager_, output.output);
    zxdg_output_v1_add_listener(output.xdg, &kListener, &output);
}

void OutputLayout::OnPosition(void* data, zxdg_output_v1*, int32_t x, int32_t y) {
    auto& output = *static_cast<Output*>(data);
    output.place.x = x;
    output.place.y = y;
}

void OutputLayout::OnSize(void* data, zxdg_output_v1*, int32_t width, int32_t height) {
    auto& output = *static_cast<Output*>(data);
    output.place.width = width;
    output.place.height = height;
}

LayoutBox OutputLayout::Box() const {
    bool any = false;
    int64_t left = 0, top = 0, right = 0, bottom = 0;
    for (const auto& output : outputs_) {
        const LayoutBox& place = output->place;
        if (place.width <= 0 || place.height <= 0) continue;
        const int64_t r = int64_t{place.x} + place.width;
        const int64_t b = int64_t{place.y} + place.height;
        left = any ? std::min<int64_t>(left, place.x) : place.x;
        top = any ? std::min<int64_t>(top, place.y) : place.y;
        right = any ? std::max(right, r) : r;
        bottom = any ? std::max(bottom, b) : b;
        any = true;
    }
    if (!any) return LayoutBox{};
    return LayoutBox{static_cast<int32_t>(left), static_cast<int32_t>(top),
                     static_cast<int32_t>(right - left), static_cast<int32_t>(bottom - top)};
}
