#pragma once

#include <cstddef>
#include <cstdint>

namespace gustara {

// The memory of one raster. Move-only; owns its block until it is destroyed. While a
// PixelBufferReuse is alive a freed block of a megabyte or more is kept and handed to a later
// buffer instead of going back to the system, so that a batch does not map and zero fresh pages
// for every picture.
class PixelBuffer {
public:
    // When the pages of a kept block take memory: at once, as they are still resident from
    // the block's last use; or only as they are written, as for a fresh block, for a buffer
    // that is filled after something else has taken its fill of memory (a progressive JPEG's
    // raster, filled once all its coefficients are in), so that the two never peak together.
    enum class Residency { AtOnce, AsWritten };

    PixelBuffer() = default;
    // A block of at least `size` bytes (none for 0), left uninitialised: the smallest kept
    // block large enough, with the pages beyond `size` given back (all of them AsWritten);
    // else a fresh one, for which the largest kept block, too small, is freed. Throws
    // std::bad_alloc when no memory is left; nothing is held then.
    explicit PixelBuffer(std::size_t size, Residency residency = Residency::AtOnce);
    PixelBuffer(PixelBuffer&& other) noexcept;
    PixelBuffer& operator=(PixelBuffer&& other) noexcept;
    PixelBuffer(const PixelBuffer&) = delete;
    PixelBuffer& operator=(const PixelBuffer&) = delete;
    // Hands the block to the kept ones, or back to the system.
    ~PixelBuffer();

    uint8_t* data() const { return data_; }

private:
    void release() noexcept;

    uint8_t* data_ = nullptr;
    std::size_t capacity_ = 0;
    bool counted_ = false;  // counted in the blocks in use of a reuse span
};

// While at least one lives, large pixel buffers are kept for reuse. The blocks handed out and
// the blocks kept together stay within the smallest budget of the spans alive: a block that
// would pass it goes back to the system. The kept blocks go back when the last span ends.
// Any thread may create and destroy one; never fails.
class PixelBufferReuse {
public:
    explicit PixelBufferReuse(uint64_t budgetBytes);
    PixelBufferReuse(const PixelBufferReuse&) = delete;
    PixelBufferReuse& operator=(const PixelBufferReuse&) = delete;
    ~PixelBufferReuse();
};

} // namespace gustara
