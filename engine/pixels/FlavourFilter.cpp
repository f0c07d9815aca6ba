#include "pixels/FlavourFilter.h"

#include "pixels/FlavourPasses.h"
#include "pixels/RowBands.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace gustara {

namespace {

// 12c - (sum of the other two) ranges over -510 .. 12 x 255.
constexpr int32_t kLowestTenths = -2 * 255;
constexpr int32_t kHighestTenths = 12 * 255;

// The whole filter as lookups: the three single-channel passes composed into one table per
// channel, and the saturation step's division by ten (with rounding and clamping) as a
// table indexed by its numerator. Built from the plain passes, so the results are theirs.
// Each channel entry packs the value v (low 16 bits) with 13v (high 16 bits): the sum of
// three entries' low halves is r + g + b, and 12c - others = 13c - (r + g + b).
struct FlavourTables {
    std::array<std::array<uint32_t, 256>, 3> channel;
    std::array<uint8_t, kHighestTenths - kLowestTenths + 1> tenths;

    explicit FlavourTables(int level)
    {
        PictureRaster ramp(256, 1);
        uint8_t* pixel = ramp.row(0);
        for (int value = 0; value < 256; ++value)
            pixel[3 * value] = pixel[3 * value + 1] = pixel[3 * value + 2] = static_cast<uint8_t>(value);
        WarmTone(ramp, level);
        AddBrightness(ramp, 20 * level);
        StretchContrast(ramp, FlavourContrastOf(level));
        for (int value = 0; value < 256; ++value)
            for (int c = 0; c < 3; ++c)
                channel[c][value] = pixel[3 * value + c] | (13u * pixel[3 * value + c]) << 16;
        for (int32_t numerator = kLowestTenths; numerator <= kHighestTenths; ++numerator)
            tenths[numerator - kLowestTenths] = ClampTenthsToByte(numerator);
    }
};

void FilterRows(PictureRaster& picture, const FlavourTables& tables, int32_t firstRow, int32_t endRow)
{
    const uint32_t* red = tables.channel[0].data();
    const uint32_t* green = tables.channel[1].data();
    const uint32_t* blue = tables.channel[2].data();
    const uint8_t* tenths = tables.tenths.data() - kLowestTenths;
    for (int32_t y = firstRow; y < endRow; ++y) {
        uint8_t* pixel = picture.row(y);
        uint8_t* const rowEnd = pixel + picture.stride();
        for (; pixel != rowEnd; pixel += 3) {
            const uint32_t r = red[pixel[0]];
            const uint32_t g = green[pixel[1]];
            const uint32_t b = blue[pixel[2]];
            // Pointer-sized indexes spare a sign extension per lookup.
            const auto sum = static_cast<std::ptrdiff_t>((r + g + b) & 0xFFFF);
            pixel[0] = tenths[static_cast<std::ptrdiff_t>(r >> 16) - sum];
            pixel[1] = tenths[static_cast<std::ptrdiff_t>(g >> 16) - sum];
            pixel[2] = tenths[static_cast<std::ptrdiff_t>(b >> 16) - sum];
        }
    }
}

} // namespace

void ApplyFlavourFilter(PictureRaster& picture, int level)
{
    if (picture.empty())
        return;
    const FlavourTables tables(level);
    ForEachRowBand(picture.height(), picture.width(), [&](int32_t firstRow, int32_t endRow) {
        FilterRows(picture, tables, firstRow, endRow);
    });
}

} // namespace gustara
