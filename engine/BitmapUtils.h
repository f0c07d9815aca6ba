#pragma once

#include "PictureRaster.h"

#include <cstdint>

namespace gustara {

// A new targetWidth x targetHeight raster in which every pixel is the area average of the
// part of the source its box covers. The source is not changed. Throws EngineError
// ("Assertion failure ...") for a source with a side of 0 or less.
PictureRaster AreaAverageResize(const PictureRaster& source, int32_t targetWidth, int32_t targetHeight);

} // namespace gustara
