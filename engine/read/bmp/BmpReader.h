#pragma once

#include "PictureRaster.h"

#include <string>

namespace gustara {

// Decodes the bitmap file (.BMP): our own reader, written for hostile input into a new 24-bit raster.
// Reads 1, 2, 4 and 8 bits per pixel through the colour table (indices it does not list are
// black), 16 and 32 bits through default or bit-field masks (never alpha: the fourth byte and
// any alpha mask are ignored), 24 bits, and RLE8/RLE4 data (skipped pixels take table entry 0).
// A colour profile embedded by a V5 header goes into the raster's metadata when it describes
// RGB; one that lies outside the file or over the headers is left out without failing.
// Only the headers, the table, the bytes the picture needs and the profile are read; sizes
// are checked before the raster is allocated.
// Throws EngineError when the file cannot be read or decoded, ends early, or uses a layout
// that has no 24-bit form here (Huffman, RLE24, embedded JPEG or PNG, 64 bits per pixel,
// masks with gaps); nothing is held afterwards.
PictureRaster ReadBmp(const std::string& path);

} // namespace gustara
