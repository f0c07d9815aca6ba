#pragma once

#include <cstdint>
#include <optional>

namespace gustara {

struct PictureSize {
    int32_t width;
    int32_t height;
};

// The size a width x height picture is shrunk to so that it fits the box, keeping its
// aspect ratio; nullopt when the picture stays as it is (its longer side is not longer than
// the box's longer side). A fitted side that would round to 0 is 1. Throws EngineError for
// a box with a side of 0 or less and for a negative picture side.
std::optional<PictureSize> FitToBoxSize(int32_t width, int32_t height, int32_t boxWidth, int32_t boxHeight);

// `size` with its sides exchanged when the EXIF `orientation` turns a picture a quarter (5 to
// 8): a stored picture's size as it is seen, or a box as seen made into the box for the
// stored picture.
PictureSize TurnedBy(PictureSize size, uint16_t orientation);

} // namespace gustara
