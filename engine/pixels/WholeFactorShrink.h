#pragma once

#include "PictureRaster.h"

#include <cstdint>

namespace gustara {

// Whether the area average of source into targetWidth x targetHeight is a shrink by whole
// factors (each target side divides the source's side) with boxes of at most 1024 source
// pixels: the shrinks whose averages WholeFactorShrink works out in whole numbers.
bool IsWholeFactorShrink(const PictureRaster& source, int32_t targetWidth, int32_t targetHeight);

// whole / area cut to a whole number, from the single-precision inverse of the area, for areas
// 1 to 1024 and wholes 0 to 255 x area: the product lies within 2^-15 of whole / area, whose
// fractions are multiples of 1 / area, and the nudge of 2^-12 lifts it clear of the cut.
inline int32_t WholeQuotient(int32_t whole, float inverseArea)
{
    return static_cast<int32_t>(static_cast<float>(whole) * inverseArea + 0x1p-12f);
}

// The area average (AreaAverageResize) of such a shrink, exact to the bit. Needs besides the
// result under 130 KB per thread.
PictureRaster WholeFactorShrink(const PictureRaster& source, int32_t targetWidth, int32_t targetHeight);

} // namespace gustara
