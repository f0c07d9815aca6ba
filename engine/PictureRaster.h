#pragma once

#include "PictureMetadata.h"
#include "PixelBuffer.h"

#include <cstddef>
#include <cstdint>

namespace gustara {

// One picture in memory: width x height pixels of 8-bit red, green, blue, rows from the
// top, each row `stride()` = 3 * width bytes, no padding. Owns its one buffer; move-only,
// copies only through clone(). A raster with a side of 0 is empty and holds no buffer;
// a default-constructed one is 0 by 0. Its metadata travels with it: moved with the pixels,
// copied by clone().
class PictureRaster {
public:
    // Largest picture accepted (512 Mi pixels, 1.5 GiB of pixels): headers that claim more
    // are refused before anything that size is allocated.
    static constexpr int64_t kMaxPixels = int64_t{1} << 29;

    PictureRaster() = default;
    // Allocates width x height pixels, left uninitialised (decoders write every pixel); during a
    // batch the memory of an earlier picture is reused (PixelBufferReuse), its pages resident
    // as `residency` says. Throws EngineError when a side is negative or the picture exceeds
    // kMaxPixels, std::bad_alloc without memory.
    PictureRaster(int32_t width, int32_t height,
                  PixelBuffer::Residency residency = PixelBuffer::Residency::AtOnce);

    PictureRaster(PictureRaster&& other) noexcept;
    PictureRaster& operator=(PictureRaster&& other) noexcept;
    PictureRaster(const PictureRaster&) = delete;
    PictureRaster& operator=(const PictureRaster&) = delete;
    ~PictureRaster() = default;

    PictureRaster clone() const;

    int32_t width() const { return width_; }
    int32_t height() const { return height_; }
    bool empty() const { return width_ == 0 || height_ == 0; }
    std::size_t stride() const { return static_cast<std::size_t>(width_) * 3; }
    std::size_t byteCount() const { return stride() * static_cast<std::size_t>(height_); }

    uint8_t* data() { return pixels_.data(); }
    const uint8_t* data() const { return pixels_.data(); }
    uint8_t* row(int32_t y) { return pixels_.data() + stride() * static_cast<std::size_t>(y); }
    const uint8_t* row(int32_t y) const { return pixels_.data() + stride() * static_cast<std::size_t>(y); }

    // Sets every pixel to one colour.
    void fill(uint8_t red, uint8_t green, uint8_t blue);

    // What the decoder found for viewers (orientation, colour profile); the writer puts it
    // into the output. Never fails.
    PictureMetadata& metadata() { return metadata_; }
    const PictureMetadata& metadata() const { return metadata_; }

private:
    int32_t width_ = 0;
    int32_t height_ = 0;
    PixelBuffer pixels_;
    PictureMetadata metadata_;
};

// Throws EngineError unless a picture of width x height fits kMaxPixels (sides >= 0, each
// below 2^31). Decoders call it right after reading the header, before allocating.
void CheckPictureSize(int64_t width, int64_t height);

} // namespace gustara
