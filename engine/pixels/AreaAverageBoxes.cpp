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

void SumWholeRows(const PictureRaster& source, int32_t firstRow, int32_t rows, std::size_t firstByte,
                  std::size_t count, uint16_t* sums)
{
    std::copy_n(source.row(firstRow) + firstByte, count, sums);
    for (int32_t k = 1; k < rows; ++k) {
        const uint8_t* values = source.row(firstRow + k) + firstByte;
        for (std::size_t i = 0; i < count; ++i)
            sums[i] = static_cast<uint16_t>(sums[i] + values[i]);
    }
}

CellSpan CellSpanOf(int32_t index, double scale)
{
    const BoxEdges box = BoxEdgesOf(index, scale);
    CellSpan span;
    span.first = FirstCell(box);
    span.count = std::max(LastCell(box) - span.first + 1, 0);
    if (span.count > 0) {
        span.firstWeight = CellWeight(span.first, box);
        span.lastWeight = CellWeight(span.end() - 1, box);
    }
    return span;
}

AxisExtremes AxisExtremesOf(int32_t sourceSide, int32_t targetSide)
{
    const double scale = AxisScale(sourceSide, targetSide);
    AxisExtremes extremes;
    for (int32_t index = 0; index < targetSide; ++index) {
        const CellSpan span = CellSpanOf(index, scale);
        double weightSum = 0.0;
        if (span.count > 0)
            weightSum = std::fabs(span.firstWeight) + std::max(span.count - 2, 0);
        if (span.count > 1)
            weightSum += std::fabs(span.lastWeight);
        extremes.maxCount = std::max(extremes.maxCount, span.count);
        extremes.maxWeightSum = std::max(extremes.maxWeightSum, weightSum);
    }
    return extremes;
}

} // namespace gustara::area_average
