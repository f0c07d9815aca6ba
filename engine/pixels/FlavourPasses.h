#pragma once

#include "PictureRaster.h"

#include <cstdint>

namespace gustara {

// The four passes of the flavour filter, plain and one pass per sweep: the reference that
// the fused filter is built from and tested against. Each changes every pixel in place,
// never fails, and leaves an empty raster unchanged.

// 0 for values of 0 or less, 255 for 255 or more, otherwise the nearest integer with halves
// going to the even one (254.5 gives 254, 183.5 gives 184).
uint8_t ClampToByte(double value);
// ClampToByte(tenths / 10) exactly, halves included.
uint8_t ClampTenthsToByte(int32_t tenths);

// Red untouched, green times 0.9, blue times 1 - 0.1 x level (level 1 to 3).
void WarmTone(PictureRaster& picture, int level);
// Every channel raised by `amount` (non-negative), stopping at 255.
void AddBrightness(PictureRaster& picture, int amount);
// Every channel moved away from 127.5 by amount/100 of its distance to it.
void StretchContrast(PictureRaster& picture, int amount);
// Differences between channels multiplied by 1.3, greys kept: (12c - others) / 10.
void BoostSaturation(PictureRaster& picture);

} // namespace gustara
