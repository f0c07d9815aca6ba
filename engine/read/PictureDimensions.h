#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>

namespace gustara {

// The size a source's header gives, read without decoding: what the batch needs to know how
// much memory a picture will take before it starts on it.
struct PictureDimensions {
    int64_t width = 0;
    int64_t height = 0;
    bool progressiveJpeg = false;  // the decoder holds every coefficient besides the raster
    // Bytes per pixel of the decoder's own picture beside the raster (libheif's planes and
    // interleaved output, libwebp's RGBA); 0 when it decodes into the raster.
    int decoderBytesPerPixel = 0;
    // Bytes of the file that the reader holds whole while it decodes (WebP); 0 for readers
    // that stream the file.
    uint64_t heldFileBytes = 0;
};

// The header probes of each format, reading `file` from its start; the caller owns the file.
// Each gives nothing for a header it does not understand and never throws.
std::optional<PictureDimensions> ProbeJpeg(std::FILE* file);
std::optional<PictureDimensions> ProbePng(std::FILE* file);
std::optional<PictureDimensions> ProbeBmp(std::FILE* file);
std::optional<PictureDimensions> ProbeGif(std::FILE* file);

} // namespace gustara
