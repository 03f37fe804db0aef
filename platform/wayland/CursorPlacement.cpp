#include "platform/wayland/CursorPlacement.h"

#include <algorithm>
#include <cmath>

namespace {

// A buffer coordinate as the nearest logical one: the compositor rounded the logical
// position times the scale. Kept on the output: at a scale above 2 its last pixels would
// round to its neighbour's first logical one.
int32_t ToLogical(int32_t at, int32_t buffer, int32_t logical) {
    const auto nearest = std::lround(static_cast<double>(at) * logical / buffer);
    return static_cast<int32_t>(std::min<long>(nearest, logical - 1));
}

}  // namespace

std::optional<PointerPosition> PlaceCursor(const OutputPlacement& output, int32_t x, int32_t y) {
    const bool turned = (output.transform & 1u) != 0;  // 90, 270, flipped-90, flipped-270
    const int32_t width = turned ? output.modeHeight : output.modeWidth;
    const int32_t height = turned ? output.modeWidth : output.modeHeight;
    if (width <= 0 || height <= 0 || output.width <= 0 || output.height <= 0) return std::nullopt;
    if (x < 0 || y < 0 || x >= width || y >= height) return std::nullopt;
    return PointerPosition{output.x + ToLogical(x, width, output.width),
                           output.y + ToLogical(y, height, output.height)};
}
