#pragma once

#include "PictureRaster.h"

namespace gustara {

// A new raster holding the picture as a viewer shows it: turned and mirrored as its
// metadata's EXIF orientation says, with orientation 1 and the same colour profile. An
// orientation outside 1..8 counts as 1. The source is not changed. Throws EngineError only
// when the new raster cannot be allocated.
PictureRaster TurnedUpright(const PictureRaster& picture);

} // namespace gustara
