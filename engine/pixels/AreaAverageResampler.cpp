#include "pixels/AreaAverageResampler.h"

#include "pixels/AreaAverageBoxes.h"
#include "EngineError.h"
#include "rules/Messages.h"
#include "pixels/RowBands.h"
#include "pixels/WholeFactorShrink.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
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
// every half, so that the exact average rounds the same way.
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

// RoundEstimate for a run of single-precision estimates of sums, in single precision
// throughout so that the compiler vectorises it. Below 256 the single-precision average
// (inverse area and product each rounded to single precision) lies within 2^-15 of the
// double-precision one that RoundEstimate is given, and its margin to the half is worked out
// within 2^-25: a value is marked clear only when that margin exceeds the tolerance widened by
// 2^-14, rounded up. A clear average lies farther than 2^-14 from the half, so average + 0.5
// cut to a whole number is its nearest whole number. Marks in `clear` (1 or 0) each value
// whose rounding can be trusted; true when all can.
bool RoundEstimates(const float* sums, std::size_t count, double inverseArea, double tolerance,
                    uint8_t* __restrict values, uint8_t* __restrict clear)
{
    const double widened = tolerance + 0x1p-14;
    float singleTolerance = static_cast<float>(widened);
    if (singleTolerance < widened)
        singleTolerance = std::nextafter(singleTolerance, std::numeric_limits<float>::infinity());
    const auto singleInverse = static_cast<float>(inverseArea);
    uint8_t allClear = 1;
    for (std::size_t i = 0; i < count; ++i) {
        const float average = sums[i] * singleInverse;
        const auto whole = static_cast<int32_t>(average);
        const float margin = std::fabs(average - static_cast<float>(whole) - 0.5f);
        values[i] = static_cast<uint8_t>(std::min(static_cast<int32_t>(average + 0.5f), 255));
        clear[i] = (margin > singleTolerance) & (average >= 0.0f) & (average < 256.0f);
        allClear &= clear[i];
    }
    return allClear;
}

// Bytes of a row summed down at a time, so that their integer sums stay in the nearest cache.
constexpr std::size_t kBytesPerWholeSum = 4096;
// Target pixels whose estimates are rounded together.
constexpr int32_t kPixelsPerRounding = 512;

// The resampler for a band of target rows. Each average is first estimated in single
// precision, separably: the weighted sum down each source column of the row's box, then
// across the columns of each box. An estimate farther than the tolerance from every half
// rounds as the exact average does; the rest are estimated again in double precision, and
// those still too near a half are worked out exactly. The sums down are made for one strip
// of source columns at a time; a box that reaches past the strip carries its estimate on.
// The rows between a box's first and last weigh 1: their values are added in integers,
// exactly, before they join the estimate, which only makes it closer.
class BandResizer {
    // The single-precision estimate of a box's three channel sums.
    using Estimate = std::array<float, 3>;

public:
    BandResizer(const PictureRaster& source, PictureRaster& target, const std::vector<CellSpan>& columns,
                double scaleY, float area, double singleTolerance, double doubleTolerance)
        : source_(source), target_(target), columns_(columns), scaleY_(scaleY), area_(area),
          singleTolerance_(singleTolerance), doubleTolerance_(doubleTolerance),
          columnSums_(3 * static_cast<std::size_t>(std::min(source.width(), kColumnsPerStrip))),
          wholeSums_(std::min(columnSums_.size(), kBytesPerWholeSum)),
          estimates_(3 * static_cast<std::size_t>(kPixelsPerRounding)), clear_(estimates_.size())
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
        int32_t roundFrom = 0;  // the first target pixel whose estimate waits for rounding
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
                std::copy(estimate.begin(), estimate.end(), estimates_.begin() + 3 * (x - roundFrom));
                estimate = {};
                if (x + 1 - roundFrom == kPixelsPerRounding) {
                    roundAverages(rows, roundFrom, x + 1, out);
                    roundFrom = x + 1;
                }
            }
        }
        roundAverages(rows, roundFrom, x, out);
    }

    // The single-precision weighted sums down the rows of the box, for the source columns
    // [stripStart, stripEnd), made a cache-sized run of bytes at a time.
    void sumDownColumns(const CellSpan& rows, int32_t stripStart, int32_t stripEnd)
    {
        const std::size_t length = 3 * static_cast<std::size_t>(stripEnd - stripStart);
        for (std::size_t start = 0; start < length; start += kBytesPerWholeSum) {
            const std::size_t count = std::min(kBytesPerWholeSum, length - start);
            const std::size_t firstByte = 3 * static_cast<std::size_t>(stripStart) + start;
            float* const sums = columnSums_.data() + start;
            if (rows.count == 0) {
                std::fill_n(sums, count, 0.0f);
                continue;
            }
            // The first row's products start the sums: 0 + p is p (up to the sign of a zero,
            // which no average keeps).
            const float firstWeight = static_cast<float>(rows.firstWeight);
            const uint8_t* firstValues = source_.row(rows.first) + firstByte;
            for (std::size_t i = 0; i < count; ++i)
                sums[i] = firstWeight * static_cast<float>(firstValues[i]);
            for (int32_t k = 1; k < rows.count - 1; k += kRowsPerWholeSum) {
                SumWholeRows(source_, rows.first + k, std::min(kRowsPerWholeSum, rows.count - 1 - k), firstByte, count,
                             wholeSums_.data());
                for (std::size_t i = 0; i < count; ++i)
                    sums[i] += static_cast<float>(wholeSums_[i]);
            }
            if (rows.count > 1) {
                const auto lastWeight = static_cast<float>(rows.lastWeight);
                const uint8_t* lastValues = source_.row(rows.end() - 1) + firstByte;
                for (std::size_t i = 0; i < count; ++i)
                    sums[i] += lastWeight * static_cast<float>(lastValues[i]);
            }
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

    // Writes the averages of the target pixels [begin, end) of the row, whose estimates
    // wait in estimates_ from its start.
    void roundAverages(const CellSpan& rows, int32_t begin, int32_t end, uint8_t* out)
    {
        uint8_t* const values = out + 3 * static_cast<std::size_t>(begin);
        const std::size_t count = 3 * static_cast<std::size_t>(end - begin);
        if (RoundEstimates(estimates_.data(), count, inverseArea_, singleTolerance_, values, clear_.data()))
            return;
        const uint8_t* const clear = clear_.data();
        for (auto* next = static_cast<const uint8_t*>(std::memchr(clear, 0, count)); next;
             next = static_cast<const uint8_t*>(std::memchr(next + 1, 0, count - (next + 1 - clear)))) {
            const auto i = static_cast<std::size_t>(next - clear);
            const CellSpan& columns = columns_[begin + static_cast<int32_t>(i / 3)];
            const int channel = static_cast<int>(i % 3);
            const Rounding rounding =
                RoundEstimate(DoubleAverage(source_, columns, rows, area_, channel), doubleTolerance_);
            values[i] = static_cast<uint8_t>(rounding.clear ? rounding.value
                                                            : ExactAverage(source_, columns, rows, area_, channel));
        }
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
    std::vector<uint16_t> wholeSums_;
    std::vector<float> estimates_;
    std::vector<uint8_t> clear_;
};

} // namespace

PictureRaster AreaAverageResize(const PictureRaster& source, int32_t targetWidth, int32_t targetHeight)
{
    CheckSizes(source, targetWidth, targetHeight);
    if (IsWholeFactorShrink(source, targetWidth, targetHeight))
        return WholeFactorShrink(source, targetWidth, targetHeight);
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
