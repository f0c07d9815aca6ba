#include "pixels/AreaAverageResampler.h"
#include "pixels/AreaAverageBoxes.h"
#include "read/bmp/BmpReader.h"
#include "EngineError.h"
#include "read/PngReader.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <iterator>
#include <random>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace gustara {
namespace {

using Resizer = std::function<PictureRaster(const PictureRaster&, int32_t, int32_t)>;

const struct {
    const char* name;
    Resizer resize;
} kResizers[] = {{"fast", AreaAverageResize}, {"reference", AreaAverageResizeReference}};

// A picture of one channel's values, rows from the top, the same value in all three channels.
PictureRaster GreyPicture(const std::vector<std::vector<int>>& rows)
{
    PictureRaster picture(static_cast<int32_t>(rows[0].size()), static_cast<int32_t>(rows.size()));
    for (int32_t y = 0; y < picture.height(); ++y)
        for (int32_t x = 0; x < picture.width(); ++x)
            for (int c = 0; c < 3; ++c)
                picture.row(y)[3 * x + c] = static_cast<uint8_t>(rows[y][x]);
    return picture;
}

PictureRaster RandomPicture(int32_t width, int32_t height, std::mt19937& random)
{
    PictureRaster picture(width, height);
    std::uniform_int_distribution<int> byte(0, 255);
    for (std::size_t i = 0; i < picture.byteCount(); ++i)
        picture.data()[i] = static_cast<uint8_t>(byte(random));
    return picture;
}

void ExpectFastMatchesReference(const PictureRaster& source, int32_t width, int32_t height, const std::string& what)
{
    const PictureRaster fast = AreaAverageResize(source, width, height);
    const PictureRaster reference = AreaAverageResizeReference(source, width, height);
    ASSERT_TRUE(test::SamePixels(fast, reference)) << what << ": " << source.width() << " x " << source.height()
                                                   << " to " << width << " x " << height;
}

TEST(AreaAverageResize, WorkedResults)
{
    const struct {
        std::vector<std::vector<int>> source;
        int32_t width, height;
        std::vector<std::vector<int>> expected;
        const char* why;
    } cases[] = {
        {{{0, 90, 255}}, 2, 1, {{30, 200}}, "boxes of one and a half pixels"},
        {{{10, 20, 30, 40}}, 3, 1, {{12, 25, 37}}, "the last box ends just short of the source's end"},
        {{{0, 3}}, 1, 1, {{1}}, "1.5 comes out just below the half"},
        {{{10, 40}, {70, 100}}, 1, 1, {{55}}, "plain average"},
        {{{255, 0}, {0, 255}}, 1, 1, {{127}}, "127.5 comes out just below the half"},
        {{{200, 200, 200}, {200, 200, 200}, {200, 200, 200}}, 2, 2, {{200, 200}, {200, 200}}, "one value stays"},
    };
    for (const auto& resizer : kResizers) {
        for (const auto& c : cases) {
            const PictureRaster target = resizer.resize(GreyPicture(c.source), c.width, c.height);
            EXPECT_TRUE(test::SamePixels(target, GreyPicture(c.expected))) << resizer.name << ": " << c.why;
        }
    }
}

TEST(AreaAverageResize, ChannelsAreAveragedSeparately)
{
    PictureRaster source(2, 1);
    const uint8_t pixels[] = {0, 10, 255, 3, 20, 0};
    std::copy(std::begin(pixels), std::end(pixels), source.data());
    for (const auto& resizer : kResizers) {
        const PictureRaster target = resizer.resize(source, 1, 1);
        EXPECT_EQ(target.row(0)[0], 1) << resizer.name;
        EXPECT_EQ(target.row(0)[1], 15) << resizer.name;
        EXPECT_EQ(target.row(0)[2], 127) << resizer.name;
    }
}

TEST(AreaAverageResize, SourceWithoutPixelsIsAnAssertionFailure)
{
    for (const auto& resizer : kResizers) {
        for (const auto& [width, height] : {std::pair{0, 0}, std::pair{0, 4}, std::pair{4, 0}}) {
            try {
                resizer.resize(PictureRaster(width, height), 2, 2);
                ADD_FAILURE() << resizer.name << ": no failure for " << width << " x " << height;
            } catch (const EngineError& error) {
                EXPECT_STREQ(error.what(), "Assertion failure (BitmapUtils, 942 行)") << resizer.name;
            }
        }
    }
}

TEST(AreaAverageResize, TargetWithoutPixelsIsRefused)
{
    const PictureRaster source = test::MakeTestPicture(8, 8);
    for (const auto& resizer : kResizers)
        for (const auto& [width, height] : {std::pair{0, 0}, std::pair{0, 4}, std::pair{4, 0}, std::pair{-3, 4}})
            EXPECT_THROW(resizer.resize(source, width, height), EngineError) << resizer.name;
}

TEST(AreaAverageResize, SameSizeIsTheIdentity)
{
    std::mt19937 random(11);
    for (const auto& [width, height] : {std::pair{1, 1}, std::pair{7, 3}, std::pair{97, 13}, std::pair{640, 480}}) {
        const PictureRaster source = RandomPicture(width, height, random);
        for (const auto& resizer : kResizers)
            EXPECT_TRUE(test::SamePixels(resizer.resize(source, width, height), source))
                << resizer.name << ": " << width << " x " << height;
    }
}

TEST(AreaAverageResize, UniformPictureStaysUniform)
{
    for (const auto& [width, height, targetWidth, targetHeight] :
         {std::tuple{97, 13, 13, 5}, std::tuple{6000, 7, 1280, 2}, std::tuple{3, 1000, 1, 999},
          // More cells in a box than a single-precision estimate can be trusted with.
          std::tuple{1, (1 << 24) + (1 << 22), 1, 1}}) {
        PictureRaster source(width, height);
        source.fill(255, 7, 128);
        PictureRaster expected(targetWidth, targetHeight);
        expected.fill(255, 7, 128);
        EXPECT_TRUE(test::SamePixels(AreaAverageResize(source, targetWidth, targetHeight), expected))
            << width << " x " << height;
    }
}

// With a scale of exactly 1 across, every target row draws only on the source row of the
// same index, so resizing the whole picture equals resizing each row on its own.
TEST(AreaAverageResize, ScaleOfOneKeepsLinesApart)
{
    std::mt19937 random(5);
    const PictureRaster source = RandomPicture(97, 13, random);
    const PictureRaster whole = AreaAverageResize(source, 29, 13);
    for (int32_t y = 0; y < source.height(); ++y) {
        PictureRaster line(97, 1);
        std::copy_n(source.row(y), source.stride(), line.row(0));
        const PictureRaster lineResized = AreaAverageResizeReference(line, 29, 1);
        ASSERT_TRUE(std::equal(lineResized.row(0), lineResized.row(0) + lineResized.stride(), whole.row(y))) << y;
    }
}

// Halving: each target value is the average of four, and an exact half comes out just below
// it because three of the four weights fall short by the inset - unless the one full-weight
// pixel is all there is, when the half goes to even.
TEST(AreaAverageResize, ExactHalvesComeOutBelowTheHalf)
{
    std::mt19937 random(3);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> coin(0, 3);
    PictureRaster source(64, 64);
    for (std::size_t i = 0; i < source.byteCount(); ++i)
        source.data()[i] = static_cast<uint8_t>(coin(random) == 0 ? 0 : byte(random));
    for (const auto& resizer : kResizers) {
        const PictureRaster half = resizer.resize(source, 32, 32);
        for (int32_t y = 0; y < 32; ++y) {
            for (int32_t x = 0; x < 32; ++x) {
                for (int c = 0; c < 3; ++c) {
                    const int first = source.row(2 * y)[6 * x + c];
                    const int others = source.row(2 * y)[6 * x + 3 + c] + source.row(2 * y + 1)[6 * x + c]
                                       + source.row(2 * y + 1)[6 * x + 3 + c];
                    const int sum = first + others;
                    int expected = (sum + 1) / 4;
                    if (sum % 4 == 2 && others == 0)
                        expected = (sum / 4) % 2 == 0 ? sum / 4 : sum / 4 + 1;
                    ASSERT_EQ(half.row(y)[3 * x + c], expected) << resizer.name << " at " << x << ", " << y;
                }
            }
        }
    }
}

TEST(AreaAverageResize, FastMatchesReferenceOnChosenShapes)
{
    constexpr int32_t kStrip = area_average::kColumnsPerStrip;
    std::mt19937 random(17);
    const struct {
        int32_t width, height, targetWidth, targetHeight;
        const char* what;
    } shapes[] = {
        {97, 13, 13, 13, "odd primes, scale 1 down the side"},
        {13, 97, 13, 7, "scale 1 across"},
        {128, 96, 64, 48, "exact halves"},
        {384, 216, 128, 72, "thirds, as 3840 x 2160 into the 1280 box"},
        {512, 288, 128, 72, "quarters, as 5120 x 2880 into the 1280 box"},
        {1, 500, 1, 7, "tall"},
        {500, 1, 3, 1, "wide"},
        {6000, 3, 1280, 1, "long row"},
        {7, 5, 20, 11, "enlarged"},
        {1, 1, 5, 3, "one pixel enlarged"},
        {997, 991, 1, 1, "everything into one"},
        {300, 200, 299, 199, "one less"},
        {1000, 750, 1000, 1, "one row"},
        // The fast resampler sums down one strip of source columns at a time.
        {2 * kStrip + 1, 3, 1280, 2, "wide: boxes straddle the ends of strips"},
        {3 * kStrip, 2, 3, 1, "boxes end exactly where strips end"},
        {3 * kStrip, 2, 2, 1, "a box of one and a half strips"},
        {2 * kStrip + 5, 1, 1, 1, "one box across every strip"},
        {kStrip + 1, 2, kStrip, 2, "scale just above 1, a strip of one column"},
        {kStrip + 3, 1, 2 * kStrip + 9, 1, "enlarged across strips"},
        {1 << 20, 1, 80, 1, "as 16,777,216 x 1 into the 1280 box"},
        {1, 1 << 20, 1, 80, "as 1 x 16,777,216 into the 1280 box"},
        {3, 300000, 2, 1, "tall: everything down into one"},
    };
    for (const auto& s : shapes)
        ExpectFastMatchesReference(RandomPicture(s.width, s.height, random), s.targetWidth, s.targetHeight, s.what);
}

// Shrinks by whole factors are worked out in whole numbers; sparse pictures put many boxes at an
// exact half with nothing in their last row and column, where only the reference's rounding
// to even decides.
TEST(AreaAverageResize, FastMatchesReferenceOnWholeFactorShrinks)
{
    std::mt19937 random(41);
    std::uniform_int_distribution<int> pick(0, 6);
    const struct {
        int32_t factorX, factorY, targetWidth, targetHeight;
    } shrinks[] = {
        {2, 2, 37, 23}, {3, 3, 20, 11}, {4, 4, 9, 13}, {5, 7, 6, 5}, {1, 1, 17, 9}, {2, 1, 40, 3}, {1, 3, 5, 30},
        {1, 257, 3, 2},          // the most rows summed in 16 bits
        {1, 258, 3, 2},          // one more: the general resampler
        {32, 32, 5, 4},          // the largest box
        {33, 31, 3, 3},          // 1023 cells
        {32, 33, 3, 3},          // 1056 cells: the general resampler
        {2, 2, 3 * 2048 + 7, 2}, // runs of 4096 columns
        {5, 1, 2 * 819 + 3, 2},  // runs of 819 boxes
        {4100, 1, 2, 2},         // a box wider than a run
    };
    for (const auto& s : shrinks) {
        const int32_t width = s.factorX * s.targetWidth;
        const int32_t height = s.factorY * s.targetHeight;
        PictureRaster sparse(width, height);
        for (std::size_t i = 0; i < sparse.byteCount(); ++i)
            sparse.data()[i] = static_cast<uint8_t>(std::array{0, 0, 0, 1, 2, 254, 255}[pick(random)]);
        ExpectFastMatchesReference(sparse, s.targetWidth, s.targetHeight, "sparse");
        ExpectFastMatchesReference(RandomPicture(width, height, random), s.targetWidth, s.targetHeight, "random");
    }
}

TEST(AreaAverageResize, FastMatchesReferenceOnRandomSizes)
{
    std::mt19937 random(2024);
    std::uniform_int_distribution<int32_t> side(1, 90);
    for (int round = 0; round < 3000; ++round) {
        const int32_t width = side(random);
        const int32_t height = side(random);
        // Mostly shrinking, as the fit does, with some enlargements and equal sides.
        const int32_t targetWidth = std::uniform_int_distribution<int32_t>(1, width + width / 4)(random);
        const int32_t targetHeight = std::uniform_int_distribution<int32_t>(1, height + height / 4)(random);
        ExpectFastMatchesReference(RandomPicture(width, height, random), targetWidth, targetHeight, "random");
    }
}

// Pictures of the darkest and brightest values put many averages at a half and next to the
// ends of the channel's range, where a rounding shortcut would first go wrong.
TEST(AreaAverageResize, FastMatchesReferenceAtTheEndsOfTheRange)
{
    std::mt19937 random(77);
    std::uniform_int_distribution<int32_t> side(1, 40);
    std::uniform_int_distribution<int> pick(0, 3);
    for (int round = 0; round < 2000; ++round) {
        PictureRaster source(side(random), side(random));
        for (std::size_t i = 0; i < source.byteCount(); ++i)
            source.data()[i] = static_cast<uint8_t>(std::array{0, 1, 254, 255}[pick(random)]);
        ExpectFastMatchesReference(source, std::uniform_int_distribution<int32_t>(1, source.width())(random),
                                   std::uniform_int_distribution<int32_t>(1, source.height())(random), "ends");
    }
}

TEST(AreaAverageResize, FastMatchesReferenceOnALargePicture)
{
    const PictureRaster source = test::MakeTestPicture(3000, 2000, 9);
    ExpectFastMatchesReference(source, 1280, 853, "fit into 1280");
    ExpectFastMatchesReference(source, 640, 427, "fit into 640");
}

TEST(AreaAverageResize, FastMatchesReferenceOnCorpusPictures)
{
    const auto corpus = test::CorpusDir();
    const struct {
        const char* file;
        PictureRaster (*read)(const std::string&);
    } pictures[] = {
        {"pngsuite/basn2c08.png", ReadPng},
        {"pngsuite/basi6a16.png", ReadPng},
        {"pngsuite/s39n3p04.png", ReadPng},
        {"bmpsuite/g/rgb24.bmp", ReadBmp},
        {"bmpsuite/g/pal8.bmp", ReadBmp},
    };
    for (const auto& picture : pictures) {
        const PictureRaster source = picture.read((corpus / picture.file).string());
        for (const auto& [divisorX, divisorY] : {std::pair{2, 2}, std::pair{3, 5}, std::pair{7, 1}, std::pair{1, 4}}) {
            ExpectFastMatchesReference(source, std::max(source.width() / divisorX, 1),
                                       std::max(source.height() / divisorY, 1), picture.file);
        }
    }
}

} // namespace
} // namespace gustara
