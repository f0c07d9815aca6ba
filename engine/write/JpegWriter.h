#pragma once

#include "PictureRaster.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace gustara {

// Encodes the picture as a complete three-component JPEG datastream in memory (SOI to EOI)
// with the float DCT, jpeg_set_quality(quality, force-baseline) and, when progressive,
// libjpeg's standard progression. Quality 0 is treated as 1 by the encoder. The picture's
// metadata follows the JFIF header: an EXIF APP1 with only the orientation and the capture date
// when the orientation is not 1 or the metadata holds a date (MakeExifApp1),
// and the colour profile in APP2 chunks when IsRgbIccProfile accepts it; without either the
// datastream is libjpeg's plain one. A picture with a side of 0 gives an empty datastream.
// Throws EngineError as CheckJpegSides does, and EngineError("JPEG エラー #<code>") on a fatal
// libjpeg error.
std::vector<uint8_t> EncodeJpeg(const PictureRaster& picture, int quality, bool progressive);

// As EncodeJpeg, for a search that needs only a datastream below `limitBytes`: the encode is
// abandoned as soon as the datastream has that many bytes, and gives nullopt. Any datastream
// it returns is byte for byte EncodeJpeg's. Throws as EncodeJpeg does.
std::optional<std::vector<uint8_t>> EncodeJpegBelow(const PictureRaster& picture, int quality, bool progressive,
                                                    int64_t limitBytes);

// The longest side a JPEG file holds (libjpeg's JPEG_MAX_DIMENSION).
constexpr int64_t kMaxJpegSide = 65500;

// Throws EngineError with the reason that a JPEG file cannot hold it when width or height is
// longer than kMaxJpegSide. Nothing else.
void CheckJpegSides(int64_t width, int64_t height);

} // namespace gustara
