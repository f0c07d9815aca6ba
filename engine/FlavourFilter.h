#pragma once

#include "PictureRaster.h"

namespace gustara {

// The flavour filter at strength level 1, 2 or 3, in place: warm tone, brightness,
// contrast, saturation. Never fails; an empty raster is left unchanged.
void ApplyFlavourFilter(PictureRaster& picture, int level);

} // namespace gustara
