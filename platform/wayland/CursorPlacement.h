#pragma once
// Where a cursor session's position lies in the layout. The compositor gives the cursor's
// hotspot in its output's transformed buffer pixels: the output as shown (turned and
// flipped), in physical pixels, from the output's top left corner. The layout places the
// output in logical pixels (xdg-output): its logical size is its transformed size over its
// scale, which may be fractional (wl_output's integer scale would be wrong then).
#include <cstdint>
#include <optional>

#include "platform/wayland/DeviceEvents.h"

struct OutputPlacement {
    // In the layout's logical pixels, from xdg-output; a size of 0 while not yet told.
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
    // The current mode in physical pixels as the output scans out, before its transform.
    int32_t modeWidth = 0;
    int32_t modeHeight = 0;
    uint32_t transform = 0;  // wl_output.transform: 90, 270 and their flips swap the sides
};

// The layout's logical pixel the hotspot (x, y) is on, rounded to the nearest; nullopt when
// it is outside the output (the cursor's image reaches in from a neighbour, which reports
// it) or the output's place or mode is not yet known.
std::optional<PointerPosition> PlaceCursor(const OutputPlacement& output, int32_t x, int32_t y);
