#pragma once

#include "PictureRaster.h"

#include <cstdint>
#include <functional>
#include <string>

namespace gustara {

// Chooses, from the stored size and the metadata of a JPEG file, the scale M/8 (M in 1..8)
// at which libjpeg decodes it; called once, after the header has been read.
using JpegScaleChoice = std::function<int(int32_t width, int32_t height, const PictureMetadata& metadata)>;

// Decodes the JPEG file through libjpeg into a new 24-bit raster. A file cut short after its
// headers still decodes, the part it lacks in grey, and is marked metadata().partMissing.
// Throws EngineError with the reason from the message table (libjpeg's wording follows where
// it says more) when the file cannot be read or decoded; nothing is held afterwards.
PictureRaster ReadJpeg(const std::string& path);
// The same at the scale that `chooseScale` returns (each side rounded up); throws as well
// EngineError for a scale outside 1..8 and whatever `chooseScale` throws.
PictureRaster ReadJpeg(const std::string& path, const JpegScaleChoice& chooseScale);

} // namespace gustara
