#include "pixels/AreaAverageBoxes.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace gustara::area_average {

static_assert(LDBL_MANT_DIG == 64, "the resampler needs x87 extended precision");

namespace {

// The inset of the box ends: the largest extended value below 1e-6 (the literal 1e-6L
// rounds to the value just above it).
const long double kEdgeInset = std::nextafter(1e-6L, 0.0L);

} // namespace

double AxisScale(int32_t sourceSide, int32_t targetSide)
{
    return static_cast<double>(static_cast<long double>(sourceSide) / targetSide);
}

float BoxArea(const PictureRaster& source, int32_t targetWidth, int32_t targetHeight)
{
    // The product of the sides in 64 bits: it can pass 2^31.
    const int64_t sourceArea = static_cast<int64_t>(source.width()) * source.height();
    return static_cast<float>(static_cast<long double>(sourceArea) / targetWidth / targetHeight);
}

BoxEdges BoxEdgesOf(int32_t index, double scale)
{
    return {static_cast<double>(index * static_cast<long double>(scale)),
            static_cast<double>((index + int64_t{1}) * static_cast<long double>(scale) - kEdgeInset)};
}

int32_t FirstCell(const BoxEdges& box)
{
    return static_cast<int32_t>(std::floor(box.start));
}

int32_t LastCell(const BoxEdges& box)
{
    return static_cast<int32_t>(std::floor(box.end));
}

double CellWeight(int32_t cell, const BoxEdges& box)
{
    const long double low = cell;
    const long double start = box.start;
    const long double end = box.end;
    const bool startsBefore = low > start;
    const bool endsAfter = low + 1 < end;
    if (startsBefore && endsAfter)
        return 1.0;
    if (endsAfter)
        return static_cast<double>(1 - (start - low));
    if (startsBefore)
        return static_cast<double>(end - low);
    return static_cast<double>(end - start);
}

uint8_t AverageToByte(double sum, float area)
{
    // Only enlargements with boxes narrower than the inset can leave 0..255.
    const long double average = std::nearbyint(static_cast<long double>(sum) / area);
    return static_cast<uint8_t>(std::clamp(average, 0.0L, 255.0L));
}

AxisSpans::AxisSpans(int32_t sourceSide, int32_t targetSide)
{
    const double scale = AxisScale(sourceSide, targetSide);
    const auto sides = static_cast<std::size_t>(targetSide);
    first.resize(sides);
    count.resize(sides);
    offset.resize(sides);
    weights.reserve(static_cast<std::size_t>(sourceSide) + sides);
    for (int32_t index = 0; index < targetSide; ++index) {
        const BoxEdges box = BoxEdgesOf(index, scale);
        const int32_t last = LastCell(box);
        first[index] = FirstCell(box);
        count[index] = std::max(last - first[index] + 1, 0);
        offset[index] = weights.size();
        double weightSum = 0.0;
        for (int32_t cell = first[index]; cell <= last; ++cell) {
            weights.push_back(CellWeight(cell, box));
            weightSum += std::fabs(weights.back());
        }
        maxCount = std::max(maxCount, count[index]);
        maxWeightSum = std::max(maxWeightSum, weightSum);
    }
    singleWeights.assign(weights.begin(), weights.end());
}

} // namespace gustara::area_average
