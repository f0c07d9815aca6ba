#pragma once

#include "PictureRaster.h"

#include <cstdint>
#include <span>

namespace gustara {

// White space between two pictures of a strip.
inline constexpr int32_t kStripGap = 8;

// One new raster with the pictures side by side, left to right, kStripGap white columns
// between neighbours, each picture at the top of the strip and white below a shorter one:
// as wide as the pictures and the gaps together, as tall as the tallest. Keeps the first
// picture's colour profile. Throws EngineError when the strip exceeds the picture limits.
PictureRaster JoinSideBySide(std::span<const PictureRaster> pictures);

} // namespace gustara
