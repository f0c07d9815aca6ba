#include "PictureRaster.h"

#include "EngineError.h"
#include "rules/Messages.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <string>
#include <utility>

namespace gustara {

namespace {

#ifdef GUSTARA_FUZZ_MAX_PIXELS
// Fuzzing builds refuse large pictures, so that the fuzzer spends its time on the decoders'
// logic rather than on filling huge rasters (libjpeg-turbo's fuzzers cap pictures likewise).
constexpr int64_t kPixelCap = GUSTARA_FUZZ_MAX_PIXELS;
#else
constexpr int64_t kPixelCap = PictureRaster::kMaxPixels;
#endif

} // namespace

void CheckPictureSize(int64_t width, int64_t height)
{
    constexpr int64_t maxSide = std::numeric_limits<int32_t>::max();
    if (width < 0 || height < 0 || width > maxSide || height > maxSide)
        throw EngineError(BadPictureSizeText(width, height));
    // Compare by division so that the product itself cannot overflow.
    if (width != 0 && height > kPixelCap / width)
        throw EngineError(PictureTooLargeText(width, height));
}

PictureRaster::PictureRaster(int32_t width, int32_t height, PixelBuffer::Residency residency)
{
    CheckPictureSize(width, height);
    width_ = width;
    height_ = height;
    pixels_ = PixelBuffer(byteCount(), residency);
}

PictureRaster::PictureRaster(PictureRaster&& other) noexcept
    : width_(std::exchange(other.width_, 0)),
      height_(std::exchange(other.height_, 0)),
      pixels_(std::move(other.pixels_)),
      metadata_(std::exchange(other.metadata_, {}))
{
}

PictureRaster& PictureRaster::operator=(PictureRaster&& other) noexcept
{
    width_ = std::exchange(other.width_, 0);
    height_ = std::exchange(other.height_, 0);
    pixels_ = std::move(other.pixels_);
    metadata_ = std::exchange(other.metadata_, {});
    return *this;
}

PictureRaster PictureRaster::clone() const
{
    PictureRaster copy(width_, height_);
    if (!empty())
        std::memcpy(copy.data(), data(), byteCount());
    copy.metadata_ = metadata_;
    return copy;
}

void PictureRaster::fill(uint8_t red, uint8_t green, uint8_t blue)
{
    if (empty())
        return;
    uint8_t* first = row(0);
    for (int32_t x = 0; x < width_; ++x) {
        first[3 * x] = red;
        first[3 * x + 1] = green;
        first[3 * x + 2] = blue;
    }
    for (int32_t y = 1; y < height_; ++y)
        std::memcpy(row(y), first, stride());
}

} // namespace gustara
