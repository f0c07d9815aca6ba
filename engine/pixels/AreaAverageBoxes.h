#pragma once

#include "PictureRaster.h"

#include <cstddef>
#include <cstdint>

// The geometry and the exact arithmetic of the area-averaging resampler (AreaAverageResampler.h):
// where each target pixel's box lies in the source, how much of each source pixel it
// covers, and how the weighted sums are accumulated and rounded. The results are exact to
// the bit: box edges, weights and sums are worked out in x87 extended precision and stored
// in double or single precision at fixed points.
namespace gustara::area_average {

// The edges of one target pixel's box along one axis, in source coordinates: the start
// and the end pulled in by one millionth.
struct BoxEdges {
    double start;
    double end;
};

// Source pixels per target pixel along one axis (sides of at least 1).
double AxisScale(int32_t sourceSide, int32_t targetSide);
// The number of source pixels a target pixel stands for, in single precision.
float BoxArea(const PictureRaster& source, int32_t targetWidth, int32_t targetHeight);
// The box of target pixel `index` along an axis with the given scale.
BoxEdges BoxEdgesOf(int32_t index, double scale);
// The first and last source cells the box touches (last < first for a box narrower than
// the inset).
int32_t FirstCell(const BoxEdges& box);
int32_t LastCell(const BoxEdges& box);
// The overlap of source cell [cell, cell + 1) with the box.
double CellWeight(int32_t cell, const BoxEdges& box);

// sum + weight x value in extended precision, stored in double precision.
inline double Accumulate(double sum, long double weight, uint8_t value)
{
    return static_cast<double>(sum + weight * value);
}

// R(sum / area), halves to even, clamped to a channel value.
uint8_t AverageToByte(double sum, float area);

// Source rows summed exactly in 16 bits at a time: 257 x 255 is the largest sum that fits.
inline constexpr int32_t kRowsPerWholeSum = 257;

// The exact sums of `rows` (at most kRowsPerWholeSum) source rows from `firstRow` into `sums`,
// over `count` bytes from `firstByte`.
void SumWholeRows(const PictureRaster& source, int32_t firstRow, int32_t rows, std::size_t firstByte,
                  std::size_t count, uint16_t* sums);

// The fast resampler sums down at most this many source columns at a time, so that its
// working memory does not grow with the width of the source (about 12 bytes a column).
inline constexpr int32_t kColumnsPerStrip = 16384;

// The source cells that one target pixel's box touches along an axis, and their weights.
// Every cell between the first and the last lies wholly inside the box, so its weight is 1:
// only the two end cells need storing, whatever the scale.
struct CellSpan {
    int32_t first = 0;
    int32_t count = 0;
    double firstWeight = 0.0;
    double lastWeight = 0.0;

    int32_t end() const { return first + count; }
    // The weight of cell first + k (0 <= k < count), as CellWeight gives it.
    double weight(int32_t k) const { return k == 0 ? firstWeight : k == count - 1 ? lastWeight : 1.0; }
};

// The span of target pixel `index` along an axis with the given scale.
CellSpan CellSpanOf(int32_t index, double scale);

// Over all target indexes of one axis: the largest count of cells and the largest sum of
// absolute weights of one span. Worked out span by span; nothing is held.
struct AxisExtremes {
    int32_t maxCount = 0;
    double maxWeightSum = 0.0;
};
AxisExtremes AxisExtremesOf(int32_t sourceSide, int32_t targetSide);

} // namespace gustara::area_average
