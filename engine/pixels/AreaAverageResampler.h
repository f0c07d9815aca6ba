#pragma once

#include "PictureRaster.h"
#include "pixels/FitToBox.h"

#include <cstdint>

namespace gustara {

// A new targetWidth x targetHeight raster in which every pixel is the area average of the
// part of the source its box covers, every source pixel weighted by the fraction of it
// inside the box. The source is not changed; the caller owns the result. Throws EngineError
// "Assertion failure (BitmapUtils, 942 行)" for a source with a side of 0 or less, and
// EngineError for a target side below 1 or a target too large to allocate (or the
// exception of a failed allocation); nothing is held afterwards. Besides the result it needs
// 24 bytes per target column and under 220 KB per thread, whatever the source's size.
PictureRaster AreaAverageResize(const PictureRaster& source, int32_t targetWidth, int32_t targetHeight);

// Replaces `picture` by its AreaAverageResize to `target`, which keeps the picture's metadata;
// fails as AreaAverageResize does, leaving `picture` as it was.
void ResizeKeepingMetadata(PictureRaster& picture, PictureSize target);

// The same result computed plainly, pixel by pixel and source pixel by source pixel, as
// the reference for AreaAverageResize; fails the same way.
PictureRaster AreaAverageResizeReference(const PictureRaster& source, int32_t targetWidth, int32_t targetHeight);

} // namespace gustara
