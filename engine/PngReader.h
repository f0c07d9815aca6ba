#pragma once

#include "PictureRaster.h"

#include <string>

namespace gustara {

// Decodes the PNG file through libpng into a new 24-bit raster.
// Throws EngineError when the file cannot be read or decoded; nothing is held afterwards.
PictureRaster ReadPng(const std::string& path);

} // namespace gustara
