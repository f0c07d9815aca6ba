#pragma once

#include "PictureRaster.h"

#include <string>

namespace gustara {

// Decodes the PNG file through libpng into a new 24-bit raster: 16-bit samples keep their
// high byte, alpha (per pixel or from tRNS) is flattened onto white, and a gAMA chunk is
// applied against a display gamma of 2.2. The eXIf orientation and an RGB iCCP profile go into
// the raster's metadata; malformed ones, and a profile whose chunk fails its CRC, are left out
// and the picture loads without them.
// Owns the file and decoder only during the call.
// Throws EngineError with the reason from the message table (libpng's wording follows where
// it says more) when the file cannot be read or decoded or is larger than the raster allows;
// nothing is held afterwards.
PictureRaster ReadPng(const std::string& path);

} // namespace gustara
