#pragma once

#include "PictureRaster.h"

#include <cstdint>
#include <vector>

namespace gustara::bench {

// The side lengths of the measured picture: 24 megapixels, as from a common camera.
constexpr int32_t kPictureWidth = 6000;
constexpr int32_t kPictureHeight = 4000;

// A photo-like 6000 x 4000 picture: smooth shading, hard edges and fine grain, so that
// a JPEG of it costs what a photograph costs to decode. Made once, on first use.
const PictureRaster& BenchPicture();

// The bench picture encoded by libjpeg at quality 90 (4:2:0), made once, on first use.
const std::vector<uint8_t>& BenchJpeg();

} // namespace gustara::bench
