#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace gustara {

// The size a source's header gives, read without decoding: what the batch needs to know how
// much memory a picture will take before it starts on it.
struct PictureDimensions {
    int64_t width = 0;
    int64_t height = 0;
    bool progressiveJpeg = false;  // the decoder holds every coefficient besides the raster
};

// Reads the header of the file at `path` by its extension (the one the decoder would use),
// and asks the system to read the rest of the file ahead, since the decoder comes next.
// Owns the file only during the call. Never throws: a file it cannot open or a header it does
// not understand gives nothing, and the decoder then says what is wrong.
std::optional<PictureDimensions> ProbePictureDimensions(const std::string& path);

} // namespace gustara
