#include "read/bmp/BmpRle.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

namespace gustara {

namespace {

constexpr uint8_t kEscape = 0;
constexpr uint8_t kEndOfLine = 0;
constexpr uint8_t kEndOfBitmap = 1;
constexpr uint8_t kDelta = 2;

// Index `i` of a run of packed indices: 4-bit indices take the high nibble first.
uint8_t PackedIndex(const uint8_t* packed, int i, bool fourBit)
{
    if (!fourBit)
        return packed[i];
    const uint8_t pair = packed[i / 2];
    return i % 2 == 0 ? pair >> 4 : pair & 0x0F;
}

class RleCanvas {
public:
    // Rows are painted with the background only once the data reaches them (or at the end), so
    // that a file claiming a huge picture and ending early fails before the raster's memory is
    // touched.
    explicit RleCanvas(const BmpLayout& layout) : layout_(layout), raster_(layout.width, layout.height) {}

    bool finished() const { return y_ >= layout_.height; }

    // Writes `count` indices taken by `indexAt(i)` from the current position, cut at the
    // right edge, and advances past all of them.
    template <typename IndexAt>
    void put(int count, IndexAt indexAt)
    {
        const int visible = static_cast<int>(std::min<int64_t>(count, layout_.width - x_));
        paintBackgroundUpTo(y_ + 1);
        uint8_t* out = raster_.row(layout_.height - 1 - y_) + 3 * x_;
        for (int i = 0; i < visible; ++i, out += 3)
            std::memcpy(out, layout_.palette[indexAt(i)].data(), 3);
        advance(count, 0);
    }

    void endLine()
    {
        x_ = 0;
        ++y_;
    }

    // Moves right and up; the column stops at the right edge so it cannot grow without bound.
    void advance(int dx, int dy)
    {
        x_ = std::min<int64_t>(x_ + dx, layout_.width);
        y_ += dy;
    }

    PictureRaster take()
    {
        paintBackgroundUpTo(layout_.height);
        return std::move(raster_);
    }

private:
    // Gives the rows below `end` (counted from the bottom) that are not painted yet colour-table
    // entry 0.
    void paintBackgroundUpTo(int64_t end)
    {
        const std::size_t stride = raster_.stride();
        for (; painted_ < end; ++painted_) {
            // One pixel, then the painted part copied onto the rest, doubling each time.
            uint8_t* out = raster_.row(static_cast<int32_t>(layout_.height - 1 - painted_));
            std::memcpy(out, layout_.palette[0].data(), 3);
            for (std::size_t done = 3; done < stride; done *= 2)
                std::memcpy(out + done, out, std::min(done, stride - done));
        }
    }

    const BmpLayout& layout_;
    PictureRaster raster_;
    int64_t x_ = 0;
    // Counted from the bottom row, as the data is stored.
    int64_t y_ = 0;
    // Rows from the bottom that hold their background.
    int64_t painted_ = 0;
};

} // namespace

PictureRaster DecodeBmpRle(BmpSource& source, const BmpLayout& layout)
{
    const bool fourBit = layout.encoding == BmpEncoding::Rle4;
    RleCanvas canvas(layout);
    std::array<uint8_t, 256> absolute{};
    while (!canvas.finished()) {
        const uint8_t count = source.byte();
        const uint8_t value = source.byte();
        if (count != kEscape) {
            // A 4-bit run alternates the two indices of its byte.
            const uint8_t even = fourBit ? value >> 4 : value;
            const uint8_t odd = fourBit ? value & 0x0F : value;
            canvas.put(count, [&](int i) { return i % 2 == 0 ? even : odd; });
            continue;
        }
        switch (value) {
        case kEndOfLine:
            canvas.endLine();
            break;
        case kEndOfBitmap:
            return canvas.take();
        case kDelta: {
            const uint8_t dx = source.byte();
            const uint8_t dy = source.byte();
            canvas.advance(dx, dy);
            break;
        }
        default: {
            // An absolute run of `value` indices, padded to a 16-bit boundary.
            const std::size_t bytes = fourBit ? (value + 1u) / 2 : value;
            source.read(absolute.data(), bytes + bytes % 2);
            canvas.put(value, [&](int i) { return PackedIndex(absolute.data(), i, fourBit); });
            break;
        }
        }
    }
    return canvas.take();
}

} // namespace gustara
