#pragma once

#include "PictureRaster.h"

#include <string>

namespace gustara {

// Decodes the JPEG file through libjpeg into a new 24-bit raster.
// Throws EngineError when the file cannot be read or decoded; nothing is held afterwards.
PictureRaster ReadJpeg(const std::string& path);

} // namespace gustara
