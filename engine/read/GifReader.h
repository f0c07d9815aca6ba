#pragma once

#include "PictureRaster.h"

#include <string>

namespace gustara {

// Decodes the first image of the GIF file through giflib into a new 24-bit raster of the
// logical screen's size: an image of the screen's size is the picture; a smaller one is
// drawn at its offsets on white, cut off at the screen's edges. Only a screen with a side of
// 0 or smaller than the image grows to hold all of the image. Transparency and
// the background colour are not applied; indices beyond the colour map are black. A file
// without images gives an empty raster. Owns the file and decoder only during the call.
// Throws EngineError when the file cannot be read or decoded or has no colour map;
// nothing is held afterwards.
PictureRaster ReadGif(const std::string& path);

// The number of images the GIF file holds. Decodes every image (keeping none) so that a
// file fails here exactly when giflib cannot load all of it; throws EngineError then.
int CountGifImages(const std::string& path);

} // namespace gustara
