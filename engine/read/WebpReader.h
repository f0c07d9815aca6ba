#pragma once

#include "PictureRaster.h"
#include "read/PictureDimensions.h"

#include <cstdio>
#include <optional>
#include <string>

namespace gustara {

// Decodes the still WebP file (lossy or lossless) through libwebp into a new 24-bit raster:
// alpha is flattened onto white; the EXIF orientation and an RGB ICC profile, from the
// container's chunks through libwebpdemux, go into the raster's metadata as for JPEG files.
// The picture's size is checked against the raster's cap before anything is decoded. Only the
// bytes the RIFF header declares are read; a file shorter than that is cut short.
// Owns the file and the decoder only during the call.
// Throws EngineError with the reason from the message table when the file cannot be read or
// decoded or is an animation.
PictureRaster ReadWebp(const std::string& path);

// The canvas size from the header at `file`'s start, read without decoding, and the bytes the
// reader will hold; the caller owns the file. Gives nothing for a header libwebp does not understand; never throws.
std::optional<PictureDimensions> ProbeWebp(std::FILE* file);

// True when the WebP file is an animation, as its header says. Owns the file only during the
// call. Throws EngineError as ReadWebp does when the header cannot be read.
bool IsWebpAnimation(const std::string& path);

} // namespace gustara
