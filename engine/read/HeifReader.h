#pragma once

#include "PictureRaster.h"
#include "read/PictureDimensions.h"

#include <cstdio>
#include <optional>
#include <string>

namespace gustara {

// Decodes the primary image of the HEIF file (HEIC, HEIF, AVIF) through libheif into a new
// 24-bit raster, turned and mirrored as the file says (the raster's orientation stays 1, so
// nothing turns it twice): samples of more than 8 bits keep their top 8 bits, alpha is
// flattened onto white, and an RGB ICC profile goes into the raster's metadata. The picture's
// size is checked against the raster's cap before anything is decoded, and the file's boxes
// (ReadHeifLayout) before libheif parses them. Owns the file and the decoder only during the
// call; nothing is printed on standard error.
// Throws EngineError with the reason from the message table (never libheif's wording) when the
// file cannot be read or decoded, is an image sequence, or is compressed with a codec that no
// installed decoder reads (the codec is named then).
PictureRaster ReadHeif(const std::string& path);

// The size of the primary image as the file's boxes give it, read from `file`'s start by our
// own walk of its boxes (ReadHeifLayout), without libheif; the caller owns the file. Gives
// nothing for boxes it cannot walk or a file the reader refuses from them; never throws.
std::optional<PictureDimensions> ProbeHeif(std::FILE* file);

// True when the HEIF file is an image sequence (an animation) rather than a still picture,
// as its brand says. Owns the file only during the call. Throws EngineError as ReadHeif does
// when the file cannot be read or is no HEIF file.
bool IsHeifSequence(const std::string& path);

} // namespace gustara
