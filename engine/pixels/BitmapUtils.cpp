#include "pixels/BitmapUtils.h"

#include "pixels/AreaAverageBoxes.h"
#include "EngineError.h"
#include "rules/Messages.h"
#include "pixels/RowBands.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <string>
#include <utility>
#include <vector>

namespace gustara {

using namespace area_average;

namespace {

void CheckSizes(const PictureRaster& source, int32_t targetWidth, int32_t targetHeight)
{
    if (source.width() <= 0 || source.height() <= 0)
        throw EngineError(std::string(Text(Message::ResizeAssertion)));
    if (targetWidth < 1 || targetHeight < 1)
        throw EngineError(BadTargetSizeText(targetWidth, targetHeight));
}

// γ(n) of the rounding-error analysis of n successive roundings with unit roundoff u; no
// bound (infinity) once n x u reaches 1, as it does for a single-precision estimate of a box
// of 2^24 cells or more.
double ErrorGrowth(double n, double unitRoundoff)
{
    if (n * unitRoundoff >= 1.0)
        return std::numeric_limits<double>::infinity();
    return n * unitRoundoff / (1.0 - n * unitRoundoff);
}

// How far an estimate of an average can lie from the exact extended computation: the
// estimate (weights, products and two rounds of sums, each rounded with unit roundoff
// `estimateRoundoff`) and the exact computation (extended products, sums stored in double)
// each stay within γ(n) of the weighted sum computed without rounding, relative to the
// largest possible sum 255 x (sum of |weights| across) x (sum of |weights| down); the
// divisions by the area add a few units in the last place of double precision. Doubled for
// safety.
double EstimateTolerance(const AxisExtremes& columns, const AxisExtremes& rows, float area, double estimateRoundoff)
{
    const double estimate = ErrorGrowth(columns.maxCount + rows.maxCount + 4.0, estimateRoundoff);
    const double exact = ErrorGrowth(static_cast<double>(columns.maxCount) * rows.maxCount + 4.0, 0x1p-52);
    const double largestSum = 255.0 * columns.maxWeightSum * rows.maxWeightSum;
    return 2.0 * ((estimate + exact) * largestSum / area + 256.0 * 0x1p-50);
}

// An estimate of an average, rounded, and whether it lies farther than the tolerance from
// every half, so that the exact average rounds the same way. Computed without branches: the
// three channels of nearly every pixel are settled at once.
struct Rounding {
    int value;
    bool clear;
};

Rounding RoundEstimate(double average, double tolerance)
{
    const auto whole = static_cast<int32_t>(average);
    const double fraction = average - whole;
    const bool inRange = (average >= 0.0) & (average < 256.0);
    const bool clearOfHalf = std::fabs(fraction - 0.5) > tolerance;
    return {std::min(whole + (fraction > 0.5 ? 1 : 0), 255), inRange && clearOfHalf};
}

// One channel of the target pixel whose box spans `columns` across and `rows` down, in
// double precision, summed across each row of the box and then down: boxes whose edges meet
// pixel edges put many averages within a float estimate's tolerance of a half, and this
// settles nearly all of them.
double DoubleAverage(const PictureRaster& source, const CellSpan& columns, const CellSpan& rows, float area,
                     int channel)
{
    const std::size_t firstByte = 3 * static_cast<std::size_t>(columns.first) + channel;
    double sum = 0.0;
    for (int32_t k = 0; k < rows.count; ++k) {
        const uint8_t* value = source.row(rows.first + k) + firstByte;
        double across = 0.0;
        for (int32_t j = 0; j < columns.count; ++j, value += 3)
            across += columns.weight(j) * *value;
        sum += rows.weight(k) * across;
    }
    return sum / static_cast<double>(area);
}

// The exact average of one channel of that pixel: the arithmetic of the reference, summed
// in the same order.
uint8_t ExactAverage(const PictureRaster& source, const CellSpan& columns, const CellSpan& rows, float area,
                     int channel)
{
    const std::size_t firstByte = 3 * static_cast<std::size_t>(columns.first) + channel;
    double sum = 0.0;
    for (int32_t k = 0; k < rows.count; ++k) {
        const long double rowWeight = rows.weight(k);
        const uint8_t* value = source.row(rows.first + k) + firstByte;
        for (int32_t j = 0; j < columns.count; ++j, value += 3)
            sum = Accumulate(sum, columns.weight(j) * rowWeight, *value);
    }
    return AverageToByte(sum, area);
}

// The resampler for a band of target rows. Each average is first estimated in single
// precision, separably: the weighted sum down each source column of the row's box, then
// across the columns of each box. An estimate farther than the tolerance from every half
// rounds as the exact average does; the rest are estimated again in double precision, and
// those still too near a half are worked out exactly. The sums down are made for one strip
// of source columns at a time; a box that reaches past the strip carries its estimate on.
class BandResizer {
    // The single-precision estimate of a box's three channel sums.
    using Estimate = std::array<float, 3>;

public:
    BandResizer(const PictureRaster& source, PictureRaster& target, const std::vector<CellSpan>& columns,
                double scaleY, float area, double singleTolerance, double doubleTolerance)
        : source_(source), target_(target), columns_(columns), scaleY_(scaleY), area_(area),
          singleTolerance_(singleTolerance), doubleTolerance_(doubleTolerance),
          columnSums_(3 * static_cast<std::size_t>(std::min(source.width(), kColumnsPerStrip)))
    {
    }

    void run(int32_t firstRow, int32_t endRow)
    {
        for (int32_t y = firstRow; y < endRow; ++y)
            resizeRow(CellSpanOf(y, scaleY_), target_.row(y));
    }

private:
    void resizeRow(const CellSpan& rows, uint8_t* out)
    {
        int32_t x = 0;
        Estimate estimate{};
        for (int32_t stripStart = 0; stripStart < source_.width() && x < target_.width();
             stripStart += kColumnsPerStrip) {
            const int32_t stripEnd = std::min(stripStart + kColumnsPerStrip, source_.width());
            sumDownColumns(rows, stripStart, stripEnd);
            for (; x < target_.width(); ++x) {
                const CellSpan& columns = columns_[x];
                estimate = sumAcross(columns, stripStart, stripEnd, estimate);
                if (columns.end() > stripEnd)
                    break; // the box goes on in the next strip
                roundAverage(columns, rows, estimate, out + 3 * static_cast<std::size_t>(x));
                estimate = {};
            }
        }
    }

    // The single-precision weighted sums down the rows of the box, for the source columns
    // [stripStart, stripEnd).
    void sumDownColumns(const CellSpan& rows, int32_t stripStart, int32_t stripEnd)
    {
        float* const sums = columnSums_.data();
        const std::size_t length = 3 * static_cast<std::size_t>(stripEnd - stripStart);
        const std::size_t firstByte = 3 * static_cast<std::size_t>(stripStart);
        if (rows.count == 0) {
            std::fill_n(sums, length, 0.0f);
            return;
        }
        // The first row's products start the sums: 0 + p is p (up to the sign of a zero,
        // which no average keeps).
        const float firstWeight = static_cast<float>(rows.firstWeight);
        const uint8_t* firstValues = source_.row(rows.first) + firstByte;
        for (std::size_t i = 0; i < length; ++i)
            sums[i] = firstWeight * static_cast<float>(firstValues[i]);
        for (int32_t k = 1; k < rows.count; ++k) {
            const auto weight = static_cast<float>(rows.weight(k));
            const uint8_t* values = source_.row(rows.first + k) + firstByte;
            for (std::size_t i = 0; i < length; ++i)
                sums[i] += weight * static_cast<float>(values[i]);
        }
    }

    // The estimate of the box with the part of the box that lies in the strip added: the
    // end cells weighted, the cells between them (weight 1) as they are.
    Estimate sumAcross(const CellSpan& columns, int32_t stripStart, int32_t stripEnd, Estimate estimate) const
    {
        int32_t j = std::max(columns.first, stripStart) - columns.first;
        const int32_t end = std::min(columns.end(), stripEnd) - columns.first;
        const float* sums = columnSums_.data() + 3 * static_cast<std::ptrdiff_t>(columns.first + j - stripStart);
        const auto add = [&](float weight) {
            estimate[0] += weight * sums[0];
            estimate[1] += weight * sums[1];
            estimate[2] += weight * sums[2];
            sums += 3;
            ++j;
        };
        if (j == 0 && j < end)
            add(static_cast<float>(columns.firstWeight));
        while (j < end && j < columns.count - 1)
            add(1.0f);
        if (j < end)
            add(static_cast<float>(columns.lastWeight));
        return estimate;
    }

    void roundAverage(const CellSpan& columns, const CellSpan& rows, Estimate estimate, uint8_t* out) const
    {
        Rounding channels[3];
        bool allClear = true;
        for (int c = 0; c < 3; ++c) {
            channels[c] = RoundEstimate(estimate[c] * inverseArea_, singleTolerance_);
            allClear &= channels[c].clear;
        }
        if (!allClear) {
            for (int c = 0; c < 3; ++c) {
                if (!channels[c].clear)
                    channels[c] = RoundEstimate(DoubleAverage(source_, columns, rows, area_, c), doubleTolerance_);
                if (!channels[c].clear)
                    channels[c].value = ExactAverage(source_, columns, rows, area_, c);
            }
        }
        for (int c = 0; c < 3; ++c)
            out[c] = static_cast<uint8_t>(channels[c].value);
    }

    const PictureRaster& source_;
    PictureRaster& target_;
    const std::vector<CellSpan>& columns_;
    const double scaleY_;
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
    // A span per target column (24 bytes); the spans down are made row by row.
    std::vector<CellSpan> columns(static_cast<std::size_t>(targetWidth));
    const double scaleX = AxisScale(source.width(), targetWidth);
    for (int32_t x = 0; x < targetWidth; ++x)
        columns[x] = CellSpanOf(x, scaleX);
    const AxisExtremes across = AxisExtremesOf(source.width(), targetWidth);
    const AxisExtremes down = AxisExtremesOf(source.height(), targetHeight);
    const double singleTolerance = EstimateTolerance(across, down, area, 0x1p-24);
    const double doubleTolerance = EstimateTolerance(across, down, area, 0x1p-53);
    const double scaleY = AxisScale(source.height(), targetHeight);
    const int64_t workPerRow = static_cast<int64_t>(source.width()) * std::max(down.maxCount, 1);
    ForEachRowBand(targetHeight, workPerRow, [&](int32_t firstRow, int32_t endRow) {
        BandResizer(source, target, columns, scaleY, area, singleTolerance, doubleTolerance).run(firstRow, endRow);
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

void ResizeKeepingMetadata(PictureRaster& picture, PictureSize target)
{
    PictureRaster resized = AreaAverageResize(picture, target.width, target.height);
    resized.metadata() = std::move(picture.metadata());
    picture = std::move(resized);
}

} // namespace gustara
