#include "pixels/WholeFactorShrink.h"

#include "pixels/AreaAverageBoxes.h"
#include "pixels/RowBands.h"

#include <algorithm>
#include <vector>

namespace gustara {

namespace {

// Why whole numbers give the resampler's exact result. With a whole factor n along an axis,
// every box starts on a pixel edge and ends one millionth short of one: its first n - 1 cells
// weigh exactly 1 and its last weighs 1 - e, with e within 12% of 1e-6 (the box end is stored
// in double precision, at most 2^29 away from 0). So the weighted sum of a box of A = nx x ny
// cells is its whole sum S less a shortfall d, the values of its last column and last row
// times their small weight shortfalls: 0 when all those values are 0, else at least 0.88e-6
// and at most 255 x 1.12e-6 x (nx + ny) < 0.3 for A <= 1024. The exact computation sums in
// double precision, exactly while the terms are whole, and its roundings add at most
// A x 2^-34 < 6.2e-8 (sums below 2^18) - less than any shortfall that is not 0. Hence:
// S / A farther than 1 / 2A from a half rounds as whole numbers say; an exact half with a
// shortfall falls below it and rounds down; an exact half without one is the exact result,
// rounded to even.
constexpr int64_t kMaxBoxCells = 1024;

// Source columns whose sums down and boxes' sums are made at a time, so that they stay in the
// nearest caches (the general resampler's strips are wider: it keeps less per column).
constexpr int32_t kColumnsPerWholeSumRun = 4096;

// Rounds the boxes' whole sums: whole / area to the nearest, an exact half down when the box
// falls short of its whole sum (shortfall not 0) and to even when it does not. Whole numbers
// and single precision throughout, so that the compiler vectorises it.
void RoundAverages(const uint32_t* __restrict wholeSums, const uint32_t* __restrict shortfalls, std::size_t count,
                   int32_t area, uint8_t* __restrict out)
{
    const auto inverseArea = static_cast<float>(1.0 / area);
    for (std::size_t i = 0; i < count; ++i) {
        const auto whole = static_cast<int32_t>(wholeSums[i]);
        const int32_t quotient = WholeQuotient(whole, inverseArea);
        const int32_t twiceRemainder = 2 * (whole - quotient * area);
        const int32_t up = (twiceRemainder > area)
                           | ((twiceRemainder == area) & (shortfalls[i] == 0) & (quotient & 1));
        out[i] = static_cast<uint8_t>(quotient + up);
    }
}

class WholeFactorBand {
public:
    WholeFactorBand(const PictureRaster& source, PictureRaster& target)
        : source_(source), target_(target), factorX_(source.width() / target.width()),
          factorY_(source.height() / target.height()), area_(factorX_ * factorY_),
          pixelsPerRun_(std::min(std::max(kColumnsPerWholeSumRun / factorX_, 1), target.width())),
          columnSums_(3 * static_cast<std::size_t>(pixelsPerRun_) * factorX_),
          boxSums_(3 * static_cast<std::size_t>(pixelsPerRun_)), boxShortfalls_(boxSums_.size())
    {
    }

    void run(int32_t firstRow, int32_t endRow)
    {
        for (int32_t y = firstRow; y < endRow; ++y) {
            for (int32_t x = 0; x < target_.width(); x += pixelsPerRun_) {
                const int32_t count = std::min(pixelsPerRun_, target_.width() - x);
                sumDown(y, x, count);
                sumAcross(y, x, count);
                RoundAverages(boxSums_.data(), boxShortfalls_.data(), 3 * static_cast<std::size_t>(count), area_,
                              target_.row(y) + 3 * static_cast<std::size_t>(x));
            }
        }
    }

private:
    // The whole sums down the box rows of target row y, for the source columns of target
    // pixels [x, x + count).
    void sumDown(int32_t y, int32_t x, int32_t count)
    {
        const std::size_t firstByte = 3 * static_cast<std::size_t>(x) * factorX_;
        const std::size_t length = 3 * static_cast<std::size_t>(count) * factorX_;
        area_average::SumWholeRows(source_, y * factorY_, factorY_, firstByte, length, columnSums_.data());
    }

    // The common factors across get a loop of their own that the compiler unrolls.
    void sumAcross(int32_t y, int32_t x, int32_t count)
    {
        switch (factorX_) {
        case 1: return sumAcrossBy<1>(y, x, count);
        case 2: return sumAcrossBy<2>(y, x, count);
        case 3: return sumAcrossBy<3>(y, x, count);
        case 4: return sumAcrossBy<4>(y, x, count);
        default: return sumAcrossBy<0>(y, x, count);
        }
    }

    // For target pixels [x, x + count) of row y, boxes `factor` wide (0: factorX_): each box's
    // whole sum, and whether it falls short of it - whether any value of its last column or
    // last row is not 0.
    template <int32_t factor>
    void sumAcrossBy(int32_t y, int32_t x, int32_t count)
    {
        const std::size_t stride = 3 * static_cast<std::size_t>(factor ? factor : factorX_);
        const uint8_t* lastRow = source_.row((y + 1) * factorY_ - 1) + x * stride;
        const uint16_t* sums = columnSums_.data();
        uint32_t* boxSums = boxSums_.data();
        uint32_t* shortfalls = boxShortfalls_.data();
        for (int32_t i = 0; i < count; ++i, sums += stride, lastRow += stride, boxSums += 3, shortfalls += 3) {
            for (int c = 0; c < 3; ++c) {
                uint32_t whole = 0;
                uint32_t lastRowValues = 0;
                for (std::size_t m = c; m < stride; m += 3) {
                    whole += sums[m];
                    lastRowValues |= lastRow[m];
                }
                boxSums[c] = whole;
                shortfalls[c] = lastRowValues | sums[stride - 3 + c];
            }
        }
    }

    const PictureRaster& source_;
    PictureRaster& target_;
    const int32_t factorX_;
    const int32_t factorY_;
    const int32_t area_;
    const int32_t pixelsPerRun_;
    std::vector<uint16_t> columnSums_;
    std::vector<uint32_t> boxSums_;
    std::vector<uint32_t> boxShortfalls_;
};

} // namespace

bool IsWholeFactorShrink(const PictureRaster& source, int32_t targetWidth, int32_t targetHeight)
{
    if (targetWidth < 1 || targetHeight < 1 || source.width() % targetWidth != 0
        || source.height() % targetHeight != 0)
        return false;
    const int32_t factorDown = source.height() / targetHeight;
    return factorDown <= area_average::kRowsPerWholeSum
           && int64_t{source.width() / targetWidth} * factorDown <= kMaxBoxCells;
}

PictureRaster WholeFactorShrink(const PictureRaster& source, int32_t targetWidth, int32_t targetHeight)
{
    PictureRaster target(targetWidth, targetHeight);
    const int64_t workPerRow = int64_t{source.width()} * (source.height() / targetHeight);
    ForEachRowBand(targetHeight, workPerRow, [&](int32_t firstRow, int32_t endRow) {
        WholeFactorBand(source, target).run(firstRow, endRow);
    });
    return target;
}

} // namespace gustara
