#pragma once
// The compositor's output layout as xdg-output tells it: each output's logical position and
// size, in the space the pointer moves in. The box around them all is what an absolute
// pointer spans; it follows outputs that come, go or move while events are dispatched.
#include <wayland-client.h>

#include <cstdint>
#include <memory>
#include <vector>

struct zxdg_output_manager_v1;
struct zxdg_output_v1;

struct LayoutBox {
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
};

// A point of the layout as an absolute pointer's value over extents box.width, box.height:
// clamped inside the box. False when the box is empty.
bool PlaceInBox(const LayoutBox& box, int32_t x, int32_t y, uint32_t& boxX, uint32_t& boxY);

class OutputLayout {
  public:
    OutputLayout() = default;
    ~OutputLayout();
    OutputLayout(const OutputLayout&) = delete;
    OutputLayout& operator=(const OutputLayout&) = delete;

    // From the registry: the manager, an output global and the removal of a global.
    void SetManager(zxdg_output_manager_v1* manager);
    void AddOutput(wl_output* output, uint32_t globalName);
    void RemoveGlobal(uint32_t globalName);

    bool HasManager() const { return manager_ != nullptr; }
    LayoutBox Box() const;

  private:
    struct Output {
        uint32_t globalName = 0;
        wl_output* output = nullptr;
        zxdg_output_v1* xdg = nullptr;
        LayoutBox place;
    };
    void Describe(Output& output);
    static void OnPosition(void* data, zxdg_output_v1*, int32_t x, int32_t y);
    static void OnSize(void* data, zxdg_output_v1*, int32_t width, int32_t height);

    zxdg_output_manager_v1* manager_ = nullptr;
    std::vector<std::unique_ptr<Output>> outputs_;
};
