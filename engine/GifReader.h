#pragma once

#include "PictureRaster.h"

#include <string>

namespace gustara {

// Decodes the GIF file through giflib (first image only) into a new 24-bit raster.
// Throws EngineError when the file cannot be read or decoded; nothing is held afterwards.
PictureRaster ReadGif(const std::string& path);

// The number of images the GIF file holds. Throws EngineError when giflib cannot load it.
int CountGifImages(const std::string& path);

} // namespace gustara
