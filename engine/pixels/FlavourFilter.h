#pragma once

#include "PictureRaster.h"

namespace gustara {

// The flavour filter at strength level 1, 2 or 3, in place: warm tone, brightness,
// contrast, saturation, in one sweep with the results of the four passes of
// FlavourPasses.h run one after the other. Never fails; an empty raster is left unchanged.
void ApplyFlavourFilter(PictureRaster& picture, int level);

// How far the filter at `level` stretches the contrast; the engine records it as its
// ContrastLevel.
constexpr int FlavourContrastOf(int level)
{
    return 10 * level;
}

} // namespace gustara
