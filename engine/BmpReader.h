#pragma once

#include "PictureRaster.h"

#include <string>

namespace gustara {

// Decodes the bitmap file (.BMP): our own reader, written for hostile input into a new 24-bit raster.
// Throws EngineError when the file cannot be read or decoded; nothing is held afterwards.
PictureRaster ReadBmp(const std::string& path);

} // namespace gustara
