#pragma once

#include "PictureRaster.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// The geometry and the exact arithmetic of the area-averaging resampler (BitmapUtils.h):
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

// For every target index along one axis: the first source cell its box touches, how many,
// and their weights (also in single precision, for the fast estimate), worked out once.
struct AxisSpans {
    std::vector<int32_t> first;
    std::vector<int32_t> count;
    std::vector<std::size_t> offset;
    std::vector<double> weights;
    std::vector<float> singleWeights;
    // The largest count and the largest sum of absolute weights over all indexes.
    int32_t maxCount = 0;
    double maxWeightSum = 0.0;

    AxisSpans(int32_t sourceSide, int32_t targetSide);
};

} // namespace gustara::area_average
