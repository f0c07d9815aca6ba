#pragma once

#include "PictureRaster.h"

#include <cstdint>
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

// Where ReadGif draws a first image of imageWidth x imageHeight given at (left, top) on a
// logical screen of screenWidth x screenHeight, and the size of its raster: an image exactly the
// size of the screen is the picture, whatever its offsets; otherwise it is drawn at its offsets
// on a raster of the screen's size, and what lies beyond the screen is cut off. A screen with a
// side of 0, or smaller than the image itself, cannot frame the picture: the raster then grows
// to hold all of the image. The header probe sizes a GIF by the same rule. Never fails.
struct GifCanvas {
    int left = 0;
    int top = 0;
    int64_t width = 0;
    int64_t height = 0;
};
GifCanvas CanvasOfFirstImage(int screenWidth, int screenHeight, int left, int top, int imageWidth, int imageHeight);

// The number of images the GIF file holds, counted up to `enough`: the records are read up to
// the enough-th image descriptor, and the images before it are skipped without decoding a
// pixel, so the cost does not grow with the images' sizes. Owns the file and the decoder only
// during the call. Throws EngineError when the file cannot be read up to there (not a GIF, cut
// short, a damaged record).
int CountGifImages(const std::string& path, int enough);

} // namespace gustara
