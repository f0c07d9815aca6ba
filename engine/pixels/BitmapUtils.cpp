#include "pixels/BitmapUtils.h"

#include "pixels/AreaAverageBoxes.h"
#include "EngineError.h"
#include "pixels/RowBands.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace gustara {

using namespace area_average;

namespace {

void CheckSizes(const PictureRaster& source, int32_t targetWidth, int32_t targetHeight)
{
    if (source.width() <= 0 || source.height() <= 0)
        throw EngineError("Assertion failure (BitmapUtils, 942 行)");
    if (targetWidth < 1 || targetHeight < 1)
        throw EngineError("縮小後の大きさが不正です: " + std::to_string(targetWidth) + " x "
                          + std::to_string(targetHeight));
}

// γ(n) of the rounding-error analysis of n successive roundings with unit roundoff u.
double ErrorGrowth(double n, double unitRoundoff)
{
    return n * unitRoundoff / (1.0 - n * unitRoundoff);
}

// How far an estimate of an average can lie from the exact extended computation: the
// estimate (weights, products and two rounds of sums, each rounded with unit roundoff
// `estimateRoundoff`) and the exact computation (extended products, sums stored in double)
// each stay within γ(n) of the weighted sum computed without rounding, relative to the
// largest possible sum 255 x (sum of |weights| across) x (sum of |weights| down); the
// divisions by the area add a few units in the last place of double precision. Doubled for
// safety.
double EstimateTolerance(const AxisSpans& columns, const AxisSpans& rows, float area, double estimateRoundoff)
{
    const double estimate = ErrorGrowth(columns.maxCount + rows.maxCount + 4.0, estimateRoundoff);
    const double exact = ErrorGrowth(static_cast<double>(columns.maxCount) * rows.maxCount + 4.0, 0x1p-52);
    const double largestSum = 255.0 * columns.maxWeightSum * rows.maxWeightSum;
    return 2.0 * ((estimate + exact) * largestSum / area + 256.0 * 0x1p-50);
}

// The rounded average when the estimate lies farther than the tolerance from every half,
// so that the exact average rounds the same way; -1 otherwise.
int RoundedIfClear(double average, double tolerance)
{
    const auto whole = static_cast<int32_t>(average);
    const double fraction = average - whole;
    if (average >= 0.0 && average < 256.0 && std::fabs(fraction - 0.5) > tolerance)
        return std::min(whole + (fraction > 0.5 ? 1 : 0), 255);
    return -1;
}

// Where the box of target pixel (x, y) starts: its weights across and down, and the byte of
// `channel` in its first column of a source row.
struct BoxStart {
    const double* columnWeights;
    const double* rowWeights;
    std::size_t firstByte;
};

BoxStart BoxOf(const AxisSpans& columns, const AxisSpans& rows, int32_t x, int32_t y, int channel)
{
    return {columns.weights.data() + columns.offset[x], rows.weights.data() + rows.offset[y],
            3 * static_cast<std::size_t>(columns.first[x]) + channel};
}

// One channel of target pixel (x, y) in double precision, summed across each row of the box
// and then down: boxes whose edges meet pixel edges put many averages within a float
// estimate's tolerance of a half, and this settles nearly all of them.
double DoubleAverage(const PictureRaster& source, const AxisSpans& columns, const AxisSpans& rows, float area,
                     int32_t x, int32_t y, int channel)
{
    const auto [columnWeights, rowWeights, firstByte] = BoxOf(columns, rows, x, y, channel);
    double sum = 0.0;
    for (int32_t k = 0; k < rows.count[y]; ++k) {
        const uint8_t* value = source.row(rows.first[y] + k) + firstByte;
        double across = 0.0;
        for (int32_t j = 0; j < columns.count[x]; ++j, value += 3)
            across += columnWeights[j] * *value;
        sum += rowWeights[k] * across;
    }
    return sum / static_cast<double>(area);
}

// The exact average of one channel of target pixel (x, y): the arithmetic of the reference,
// summed in the same order over the precomputed spans.
uint8_t ExactAverage(const PictureRaster& source, const AxisSpans& columns, const AxisSpans& rows, float area,
                     int32_t x, int32_t y, int channel)
{
    const auto [columnWeights, rowWeights, firstByte] = BoxOf(columns, rows, x, y, channel);
    double sum = 0.0;
    for (int32_t k = 0; k < rows.count[y]; ++k) {
        const long double rowWeight = rowWeights[k];
        const uint8_t* value = source.row(rows.first[y] + k) + firstByte;
        for (int32_t j = 0; j < columns.count[x]; ++j, value += 3)
            sum = Accumulate(sum, columnWeights[j] * rowWeight, *value);
    }
    return AverageToByte(sum, area);
}

// The resampler for a band of target rows. Each average is first estimated in single
// precision, separably: the weighted sum down each source column of the row's box, then
// across the columns of each box. An estimate farther than the tolerance from every half
// rounds as the exact average does; the rest are estimated again in double precision, and
// those still too near a half are worked out exactly.
class BandResizer {
public:
    BandResizer(const PictureRaster& source, PictureRaster& target, const AxisSpans& columns, const AxisSpans& rows,
                float area)
        : source_(source), target_(target), columns_(columns), rows_(rows), area_(area),
          singleTolerance_(EstimateTolerance(columns, rows, area, 0x1p-24)),
          doubleTolerance_(EstimateTolerance(columns, rows, area, 0x1p-53)), columnSums_(source.stride())
    {
    }

    void run(int32_t firstRow, int32_t endRow)
    {
        for (int32_t y = firstRow; y < endRow; ++y) {
            sumDownColumns(y);
            uint8_t* out = target_.row(y);
            for (int32_t x = 0; x < target_.width(); ++x, out += 3)
                averageAcross(x, y, out);
        }
    }

private:
    void sumDownColumns(int32_t y)
    {
        float* const sums = columnSums_.data();
        const std::size_t length = columnSums_.size();
        const float* weights = rows_.singleWeights.data() + rows_.offset[y];
        if (rows_.count[y] == 0) {
            std::fill_n(sums, length, 0.0f);
            return;
        }
        // The first row's products start the sums: 0 + p is p (up to the sign of a zero,
        // which no average keeps).
        const uint8_t* firstValues = source_.row(rows_.first[y]);
        for (std::size_t i = 0; i < length; ++i)
            sums[i] = weights[0] * static_cast<float>(firstValues[i]);
        for (int32_t k = 1; k < rows_.count[y]; ++k) {
            const float weight = weights[k];
            const uint8_t* values = source_.row(rows_.first[y] + k);
            for (std::size_t i = 0; i < length; ++i)
                sums[i] += weight * static_cast<float>(values[i]);
        }
    }

    void averageAcross(int32_t x, int32_t y, uint8_t* out) const
    {
        const float* weights = columns_.singleWeights.data() + columns_.offset[x];
        const float* sums = columnSums_.data() + 3 * static_cast<std::size_t>(columns_.first[x]);
        float estimate[3] = {0.0f, 0.0f, 0.0f};
        for (int32_t j = 0; j < columns_.count[x]; ++j, sums += 3) {
            estimate[0] += weights[j] * sums[0];
            estimate[1] += weights[j] * sums[1];
            estimate[2] += weights[j] * sums[2];
        }
        for (int c = 0; c < 3; ++c) {
            int rounded = RoundedIfClear(estimate[c] * inverseArea_, singleTolerance_);
            if (rounded < 0)
                rounded = RoundedIfClear(DoubleAverage(source_, columns_, rows_, area_, x, y, c), doubleTolerance_);
            out[c] = rounded >= 0 ? static_cast<uint8_t>(rounded) : ExactAverage(source_, columns_, rows_, area_, x, y, c);
        }
    }

    const PictureRaster& source_;
    PictureRaster& target_;
    const AxisSpans& columns_;
    const AxisSpans& rows_;
    const float area_;
    // Multiplying by it instead of dividing by the area adds two roundings of double
    // precision to the estimate, well inside the tolerance's allowance for the division.
    const double inverseArea_ = 1.0 / static_cast<double>(area_);
    const double singleTolerance_;
    const double doubleTolerance_;
    std::vector<float> columnSums_;
};

} // namespace

PictureRaster AreaAverageResize(const PictureRaster& source, int32_t targetWidth, int32_t targetHeight)
{
    CheckSizes(source, targetWidth, targetHeight);
    const float area = BoxArea(source, targetWidth, targetHeight);
    PictureRaster target(targetWidth, targetHeight);
    const AxisSpans columns(source.width(), targetWidth);
    const AxisSpans rows(source.height(), targetHeight);
    const int64_t workPerRow = static_cast<int64_t>(source.width()) * std::max(rows.maxCount, 1);
    ForEachRowBand(targetHeight, workPerRow, [&](int32_t firstRow, int32_t endRow) {
        BandResizer(source, target, columns, rows, area).run(firstRow, endRow);
    });
    return target;
}

PictureRaster AreaAverageResizeReference(const PictureRaster& source, int32_t targetWidth, int32_t targetHeight)
{
    CheckSizes(source, targetWidth, targetHeight);
    const float area = BoxArea(source, targetWidth, targetHeight);
    const double scaleX = AxisScale(source.width(), targetWidth);
    const double scaleY = AxisScale(source.height(), targetHeight);
    PictureRaster target(targetWidth, targetHeight);
    for (int32_t y = 0; y < targetHeight; ++y) {
        const BoxEdges boxY = BoxEdgesOf(y, scaleY);
        for (int32_t x = 0; x < targetWidth; ++x) {
            const BoxEdges boxX = BoxEdgesOf(x, scaleX);
            double sums[3] = {0.0, 0.0, 0.0};
            for (int32_t sy = FirstCell(boxY); sy <= LastCell(boxY); ++sy) {
                for (int32_t sx = FirstCell(boxX); sx <= LastCell(boxX); ++sx) {
                    const long double weight = static_cast<long double>(CellWeight(sx, boxX)) * CellWeight(sy, boxY);
                    const uint8_t* pixel = source.row(sy) + 3 * static_cast<std::size_t>(sx);
                    for (int c = 0; c < 3; ++c)
                        sums[c] = Accumulate(sums[c], weight, pixel[c]);
                }
            }
            uint8_t* out = target.row(y) + 3 * static_cast<std::size_t>(x);
            for (int c = 0; c < 3; ++c)
                out[c] = AverageToByte(sums[c], area);
        }
    }
    return target;
}

} // namespace gustara
